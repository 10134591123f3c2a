#pragma once

#include <string>

#include "platform/servicehost/service_host.h"
#include "platform/servicehost/signal_controls.h"

namespace qm::servicehost {

// The service host under systemd: states go to systemd's notification socket (a Type=notify
// unit), stop controls come from SIGTERM (and SIGINT for an application run by hand).
// Without NOTIFY_SOCKET nothing is sent, so the same host serves a process started by hand.
class SystemdServiceHost final : public ServiceHost {
  public:
    bool registerControlHandler(ControlSource source, ControlHandler handler) override;
    void unregisterControlHandler() override;
    void reportStatus(ServiceState state) override;

  private:
    SignalControls signals_;
};

// What systemd is told for a state: "READY=1" when running, "STOPPING=1" when stopping, each with
// a STATUS= line for "systemctl status".
std::string notificationFor(ServiceState state);

}  // namespace qm::servicehost
