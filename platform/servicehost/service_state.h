#pragma once

#include <cstdint>

// The states a service reports to its service manager and the controls it receives, with the
// numeric values service managers have always used for them.
namespace qm::servicehost {

enum class ServiceState : std::uint32_t {
    Stopped = 1,
    StartPending = 2,
    StopPending = 3,
    Running = 4,
};

enum class ServiceControl : std::uint32_t {
    Stop = 1,
    Shutdown = 5,
};

// "SERVICE_RUNNING", "SERVICE_STOP_PENDING", ...
const char* serviceStateName(ServiceState state);

}  // namespace qm::servicehost
