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

#define QM_SDK_PROXY_METHOD(Name, ...) sdk::HRESULT Name(QM_PARAMETERS(__VA_ARGS__)) override;
    QM_MANAGER_METHODS(QM_SDK_PROXY_METHOD, QM_SDK_PROXY_METHOD)
#undef QM_SDK_PROXY_METHOD

    // Sinks this connection has exported now (for diagnostics and tests).
    std::size_t exportedSinkCount() const;

  private:
    const std::shared_ptr<ClientSession> session_;
    std::unique_ptr<sdbus::IProxy> proxy_;
};

}  // namespace qm::ipc
