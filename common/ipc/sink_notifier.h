#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "common/ipc/notification_outbox.h"

namespace sdbus {
class IConnection;
class IProxy;
}  // namespace sdbus

namespace qm::ipc {

// The thread that sends queued notifications to the clients' sinks. Each call is asynchronous
// with a time-out; its reply (or error, or time-out) arrives on the connection's event loop and
// frees the client's lane for the next notification.
class SinkNotifier {
  public:
    SinkNotifier(sdbus::IConnection& connection, std::shared_ptr<NotificationOutbox> outbox,
                 std::chrono::milliseconds callTimeout);
    SinkNotifier(const SinkNotifier&) = delete;
    SinkNotifier& operator=(const SinkNotifier&) = delete;
    // Closes the outbox, sends every notification still waiting without waiting for replies (the
    // connection delivers them when it flushes) and ends the thread.
    ~SinkNotifier();

  private:
    void run();
    void send(const Notification& notification);
    sdbus::IProxy& proxyFor(const std::string& client, const std::string& path);

    sdbus::IConnection& connection_;
    const std::shared_ptr<NotificationOutbox> outbox_;
    const std::chrono::milliseconds callTimeout_;
    // Used by the sending thread only: one proxy per sink, kept while its client's lane has work
    // so that a pending call's reply handler stays valid.
    std::map<std::string, std::map<std::string, std::unique_ptr<sdbus::IProxy>>> proxies_;
    std::thread thread_;
};

}  // namespace qm::ipc
