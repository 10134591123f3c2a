#pragma once

#include "service/com/server_runtime.h"

namespace qm::com {

// The runtime qmMicHost runs with. Built into the executable only, so the frame library stays
// free of the D-Bus binding and the device manager.
ServerRuntimeFactory makeServerRuntimeFactory();

}  // namespace qm::com
