#pragma once

#include <ostream>

#include "service/com/server_runtime.h"

namespace qm::com {

// The runtime of a qmMicHost that has no D-Bus server attached yet: it says so on standard error
// and fails registerClassObjects with E_NOTIMPL, so the run ends at once with that result and
// nothing pretends to serve. The D-Bus server (common/ipc) and the device manager (service/core)
// are attached by replacing this runtime in main.cpp's runtime factory.
class NotWiredRuntime final : public ServerRuntime {
  public:
    explicit NotWiredRuntime(const RuntimeContext& context);

    sdk::HRESULT registerClassObjects() override;
    std::shared_ptr<sdk::IQuillmereSDK> createDeviceManager() override;
    bool registerEndpointNotifications(const std::shared_ptr<sdk::IQuillmereSDK>& manager) override;
    void revokeClassObjects() override;

  private:
    std::ostream& errors_;
    RuntimeOptions options_;
};

}  // namespace qm::com
