#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qm::ipc {

// One OnDeviceNotify call to make to a client's sink.
struct Notification {
    std::string client;  // unique bus name of the client connection
    std::string path;    // the sink's object path on that connection
    std::string serial;
    int state = 0;
    std::uint64_t ticket = 0;  // identifies the call for finished()
};

// The queue between the threads that notify sinks (the manager's device thread, client calls)
// and the thread that sends the calls. Posting never waits for a client. Each client connection
// has its own lane: its notifications go out in posting order, one call at a time, while other
// clients' lanes move on independently, so a client that does not answer only delays itself.
class NotificationOutbox {
  public:
    // What the sending thread has to do next.
    struct Work {
        enum class Kind { Send, ForgetClient };
        Kind kind = Kind::Send;
        Notification notification;  // for Send; for ForgetClient only `client` is set
    };

    // At most `maxQueuedPerClient` notifications wait per client; beyond that the oldest waiting
    // one is dropped (a client that stopped answering must not make the service grow).
    explicit NotificationOutbox(std::size_t maxQueuedPerClient);
    NotificationOutbox(const NotificationOutbox&) = delete;
    NotificationOutbox& operator=(const NotificationOutbox&) = delete;

    // Queues a call; false once the outbox is closed.
    bool post(const std::string& client, const std::string& path, const std::string& serial,
              int state);
    // Drops the waiting notifications of one sink (it was unadvised).
    void dropSink(const std::string& client, const std::string& path);
    // Drops everything of a client that left the bus and tells the sender to forget it.
    void dropClient(const std::string& client);

    // Sending side: waits for the next thing to do. A lane's next notification is handed out
    // only after finished() for the one before. A lane that has nothing left after finished()
    // is removed and its client handed out as ForgetClient (before any later Send for it). Once
    // closed, every waiting notification is handed out at once and then nothing (the sender
    // ends).
    std::optional<Work> next();
    // The call with this ticket got its reply, failed or timed out.
    void finished(const std::string& client, std::uint64_t ticket);
    // Refuses further posts and lets the sender flush what is waiting.
    void close();

    std::size_t droppedCount() const;

  private:
    struct Lane {
        std::deque<Notification> waiting;
        std::optional<std::uint64_t> inFlight;
    };

    std::optional<Work> takeReady();

    const std::size_t maxQueuedPerClient_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::map<std::string, Lane, std::less<>> lanes_;
    std::vector<std::string> forgotten_;
    std::uint64_t nextTicket_ = 1;
    std::size_t dropped_ = 0;
    bool closed_ = false;
};

}  // namespace qm::ipc
