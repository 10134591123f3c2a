#pragma once

#include <memory>

#include "common/ipc/bus_connection.h"
#include "common/ipc/sdk_adaptor.h"
#include "common/ipc/simulator_adaptor.h"
#include "platform/endpoints/endpoint_system.h"
#include "platform/hiduart/hid_transport.h"
#include "platform/hiduart/hid_uart_api.h"
#include "service/com/server_runtime.h"
#include "service/core/mm_notification_client.h"
#include "sim/sound/rig_sound.h"
#include "sim/virtual_rig.h"

namespace qm::com {

// The server as it runs: the bus connection that owns "com.quillmere.qmMicHost", the device
// manager exported on it, and the platform the manager works on: the real bridges and sound
// cards (their traffic recorded on request), virtual microphones with a simulator object to
// drive them, or the bridges of a recording.
class DbusServerRuntime final : public ServerRuntime {
  public:
    explicit DbusServerRuntime(const RuntimeContext& context);
    ~DbusServerRuntime() override;

    sdk::HRESULT registerClassObjects() override;
    std::shared_ptr<sdk::IQuillmereSDK> createDeviceManager() override;
    bool registerEndpointNotifications(const std::shared_ptr<sdk::IQuillmereSDK>& manager) override;
    void revokeClassObjects() override;

  private:
    void unregisterEndpoints();
    void startSound();
    std::shared_ptr<hiduart::HidTransport> machineTransport();
    std::shared_ptr<hiduart::HidTransport> replayTransport();

    const RuntimeOptions options_;
    registry::Store& store_;
    Clock& clock_;
    std::ostream& errors_;

    // The platform; declared first so that it outlives the manager and the exports.
    std::unique_ptr<sim::RigSound> sound_;  // of the virtual microphones, when asked for
    std::unique_ptr<sim::VirtualRig> rig_;
    std::unique_ptr<hiduart::HidUartApi> bridges_;
    std::unique_ptr<endpoints::EndpointSystem> endpoints_;

    std::unique_ptr<ipc::BusConnection> connection_;
    std::shared_ptr<core::CQuillmereSDK> manager_;
    std::unique_ptr<core::CMMNotificationClient> listener_;
    std::unique_ptr<ipc::SdkAdaptor> sdkAdaptor_;
    std::unique_ptr<ipc::SimulatorAdaptor> simulatorAdaptor_;
};

}  // namespace qm::com
