#pragma once

#include <string>

// The notification channel of systemd (sd_notify), kept apart so that only its source file sees
// libsystemd's headers.
namespace qm::servicehost {

// True when the process was started by a service manager that listens for notifications
// (NOTIFY_SOCKET is set and not empty).
bool notifySocketSet();

// Sends one notification such as "READY=1". Returns what sd_notify returns: above 0 when sent,
// 0 when there is nobody to tell, below 0 (a negative errno) when sending failed.
int sendNotification(const std::string& message);

}  // namespace qm::servicehost
