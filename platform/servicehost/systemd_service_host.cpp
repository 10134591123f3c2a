#include "platform/servicehost/systemd_service_host.h"

#include "platform/servicehost/sd_notify_channel.h"

namespace qm::servicehost {

std::string notificationFor(ServiceState state) {
    switch (state) {
        case ServiceState::StartPending:
            return "STATUS=Starting";
        case ServiceState::Running:
            return "READY=1\nSTATUS=Running";
        case ServiceState::StopPending:
            return "STOPPING=1\nSTATUS=Stopping";
        case ServiceState::Stopped:
            return "STATUS=Stopped";
    }
    return {};
}

bool SystemdServiceHost::registerControlHandler(ControlSource source, ControlHandler handler) {
    return signals_.start(source, std::move(handler));
}

void SystemdServiceHost::unregisterControlHandler() {
    signals_.stop();
}

void SystemdServiceHost::reportStatus(ServiceState state) {
    if (!notifySocketSet()) {
        return;
    }
    // A lost notification can't be helped here; systemd times the start out on its own.
    [[maybe_unused]] const int sent = sendNotification(notificationFor(state));
}

}  // namespace qm::servicehost
