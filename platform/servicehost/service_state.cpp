#include "platform/servicehost/service_state.h"

namespace qm::servicehost {

const char* serviceStateName(ServiceState state) {
    switch (state) {
        case ServiceState::Stopped:
            return "SERVICE_STOPPED";
        case ServiceState::StartPending:
            return "SERVICE_START_PENDING";
        case ServiceState::StopPending:
            return "SERVICE_STOP_PENDING";
        case ServiceState::Running:
            return "SERVICE_RUNNING";
    }
    return "SERVICE_STATE_UNKNOWN";
}

}  // namespace qm::servicehost
