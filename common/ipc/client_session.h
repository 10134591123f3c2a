#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "common/ipc/client.h"
#include "common/sdk/hresult.h"

namespace sdbus {
class IProxy;
}

namespace qm::ipc {

class BusConnection;
class DeviceProxy;
class SinkExportTable;

// What the client's proxies share: the connection with its event-loop thread, the options, the
// exported sinks and the device proxies by path. Closed when the last proxy is released.
class ClientSession : public std::enable_shared_from_this<ClientSession> {
  public:
    // Throws BusError when the bus cannot be reached.
    static std::shared_ptr<ClientSession> open(const ClientOptions& options);

    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;
    ~ClientSession();

    // A proxy for the service's object at `path`.
    std::unique_ptr<sdbus::IProxy> makeProxy(const std::string& path);
    // The connection the proxies call through (see BusConnection::call).
    BusConnection& bus();
    std::chrono::milliseconds callTimeout() const { return options_.callTimeout; }

    // The device proxy for `path`: the same object while anybody holds it.
    std::shared_ptr<DeviceProxy> deviceProxy(const std::string& path);
    SinkExportTable& sinks();

    // Reaches the service's manager object (activating the service where the bus can).
    sdk::HRESULT ping();

    std::string uniqueName() const;

  private:
    struct Core;

    ClientSession(ClientOptions options, std::unique_ptr<Core> core);

    const ClientOptions options_;
    std::unique_ptr<Core> core_;
    std::mutex mutex_;
    std::map<std::string, std::weak_ptr<DeviceProxy>> devices_;
};

}  // namespace qm::ipc
