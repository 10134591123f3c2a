#pragma once

#include <memory>
#include <string>

#include "common/sdk/interfaces.h"

namespace sdbus {
class IProxy;
}

namespace qm::ipc {

class ClientSession;

// A device object of the service, seen through the bus. Obtained from the manager proxy's
// enumerator; see client.h for the rules every call follows.
class DeviceProxy final : public sdk::IQMDevice {
  public:
    DeviceProxy(std::shared_ptr<ClientSession> session, std::string path);
    DeviceProxy(const DeviceProxy&) = delete;
    DeviceProxy& operator=(const DeviceProxy&) = delete;
    ~DeviceProxy() override;

    // The device object's path at the service.
    const std::string& path() const { return path_; }
    const ClientSession* session() const { return session_.get(); }

#define QM_DEVICE_PROXY_METHOD(Name, ...) sdk::HRESULT Name(QM_PARAMETERS(__VA_ARGS__)) override;
    QM_DEVICE_METHODS(QM_DEVICE_PROXY_METHOD)
#undef QM_DEVICE_PROXY_METHOD

  private:
    // Declared first: the proxy must go before the session's connection.
    const std::shared_ptr<ClientSession> session_;
    const std::string path_;
    std::unique_ptr<sdbus::IProxy> proxy_;
};

}  // namespace qm::ipc
