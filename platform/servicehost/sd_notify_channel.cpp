#include "platform/servicehost/sd_notify_channel.h"

#include <systemd/sd-daemon.h>

#include <cstdlib>

namespace qm::servicehost {

bool notifySocketSet() {
    const char* socket = std::getenv("NOTIFY_SOCKET");
    return socket != nullptr && *socket != '\0';
}

int sendNotification(const std::string& message) {
    return sd_notify(0, message.c_str());
}

}  // namespace qm::servicehost
