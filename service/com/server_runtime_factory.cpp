#include "service/com/server_runtime_factory.h"

#include "service/com/not_wired_runtime.h"

namespace qm::com {

// The D-Bus server is attached here, and only here: replace NotWiredRuntime with a runtime whose
// registerClassObjects connects to context.options.bus, owns "com.quillmere.qmMicHost" and
// exports the objects of common/ipc, whose createDeviceManager builds the device manager of
// service/core (on virtual microphones when context.options.simulate isn't empty), and whose
// registerEndpointNotifications hands the platform's endpoint events to that manager. Until then
// this build says plainly that it serves nothing and ends its run with E_NOTIMPL.
ServerRuntimeFactory makeServerRuntimeFactory() {
    return [](const RuntimeContext& context) -> std::unique_ptr<ServerRuntime> {
        return std::make_unique<NotWiredRuntime>(context);
    };
}

}  // namespace qm::com
