#pragma once

#include <cstdint>
#include <functional>

#include "platform/servicehost/service_state.h"

namespace qm::servicehost {

// Which stop requests a running process takes as stop controls.
enum class ControlSource {
    Service,      // run by the service manager: its stop request (SIGTERM) only
    Application,  // run by hand: also the interrupt from the terminal (SIGINT)
};

// The service manager as a running service sees it: where it reports its state and where its
// controls come from.
//
// Controls are delivered on the host's own control thread, never on the thread that registered
// the handler, so a handler must only record or post what it was asked (and report a state).
class ServiceHost {
  public:
    // Returns 0 (NO_ERROR) once the control was handled.
    using ControlHandler = std::function<std::uint32_t(ServiceControl)>;

    virtual ~ServiceHost() = default;

    // Starts delivering controls to `handler`. False when controls can't be received (another
    // handler is registered, or the system refused); the caller then can't run as a service.
    virtual bool registerControlHandler(ControlSource source, ControlHandler handler) = 0;
    // Stops delivering controls. A handler call in progress finishes first; none starts after.
    virtual void unregisterControlHandler() = 0;

    // Tells the service manager the service's state. Never fails the caller: a service manager
    // that can't be told is a service manager that isn't there.
    virtual void reportStatus(ServiceState state) = 0;
};

}  // namespace qm::servicehost
