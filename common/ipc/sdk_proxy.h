#pragma once

#include <memory>
#include <string>

#include "common/sdk/interfaces.h"

namespace sdbus {
class IProxy;
}

namespace qm::ipc {

class ClientSession;

// The service's device manager, seen through the bus; see client.h for the rules every call
// follows. EnumQMDevice returns a local enumerator over the snapshot of device paths the service
// sent. RemoveDevice takes a device obtained from this connection (anything else reaches the
// manager as no device, which it does not find). AdviceSink exports the sink on this connection.
class SdkProxy final : public sdk::IQuillmereSDK {
  public:
    explicit SdkProxy(std::shared_ptr<ClientSession> session);
    SdkProxy(const SdkProxy&) = delete;
    SdkProxy& operator=(const SdkProxy&) = delete;
    ~SdkProxy() override;

    sdk::HRESULT WriteLog(sdk::qmLogEventType Type, const std::string& str) override;
    sdk::HRESULT NotifyRelease() override;
    sdk::HRESULT IsInitialize() override;
    sdk::HRESULT GetVersion(std::string& pbstrVersion) override;
    sdk::HRESULT EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) override;
    sdk::HRESULT RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& pDevice) override;
    sdk::HRESULT RemoveDeviceBySN(const std::string& bstrSN) override;
    sdk::HRESULT RemoveAllInactive() override;
    sdk::HRESULT GetLogFolder(std::string& pbstrLogFolder) override;
    sdk::HRESULT SetLogFolder(const std::string& bstrLogFolder) override;
    sdk::HRESULT AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) override;
    sdk::HRESULT UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) override;

    // Sinks this connection has exported now (for diagnostics and tests).
    std::size_t exportedSinkCount() const;

  private:
    const std::shared_ptr<ClientSession> session_;
    std::unique_ptr<sdbus::IProxy> proxy_;
};

}  // namespace qm::ipc
