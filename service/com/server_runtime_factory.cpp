#include "service/com/server_runtime_factory.h"

#include "service/com/dbus_server_runtime.h"

namespace qm::com {

// The server qmMicHost runs: the device manager on D-Bus, over the real bridges and sound cards
// or over virtual microphones.
ServerRuntimeFactory makeServerRuntimeFactory() {
    return [](const RuntimeContext& context) -> std::unique_ptr<ServerRuntime> {
        return std::make_unique<DbusServerRuntime>(context);
    };
}

}  // namespace qm::com
