#pragma once

#include <memory>
#include <string>

#include "common/ipc/client_calls.h"
#include "common/sdk/interfaces.h"

namespace sdbus {
class IConnection;
class IObject;
}  // namespace sdbus

namespace qm::ipc {

// One device object of the manager, exported at `path` with interface com.quillmere.QMDevice.
// Calls run on the call pool and answer exactly what the device object answers.
class DeviceAdaptor {
  public:
    DeviceAdaptor(sdbus::IConnection& connection, std::string path,
                  std::shared_ptr<sdk::IQMDevice> device, ClientCalls& calls);
    DeviceAdaptor(const DeviceAdaptor&) = delete;
    DeviceAdaptor& operator=(const DeviceAdaptor&) = delete;
    ~DeviceAdaptor();

    const std::string& path() const { return path_; }
    const std::shared_ptr<sdk::IQMDevice>& device() const { return device_; }

  private:
    void exportMethods(ClientCalls& calls);

    const std::string path_;
    const std::shared_ptr<sdk::IQMDevice> device_;
    std::unique_ptr<sdbus::IObject> object_;
};

}  // namespace qm::ipc
