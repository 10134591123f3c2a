#pragma once

// Internal to BusConnection: an event loop that threads calling through the connection share.
// Includes sdbus-c++.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sdbus-c++/sdbus-c++.h>

namespace qm::ipc {

// Processes a connection's messages on a thread of its own, except while threads wait in call():
// a caller processes the connection itself until its reply is in (sd-bus reads the reply on the
// thread that waits for it, as a plain synchronous call does) and the loop thread sleeps with the
// connection taken out of its wait set, so a call wakes no other thread. One thread at a time
// processes the connection, so handlers still run one after the other in arrival order.
class SharedLoop {
  public:
    // Throws BusError when the loop's descriptors cannot be made.
    explicit SharedLoop(sdbus::IConnection& connection);
    SharedLoop(const SharedLoop&) = delete;
    SharedLoop& operator=(const SharedLoop&) = delete;
    // Stops and joins the loop thread; not on that thread.
    ~SharedLoop();

    void start();
    // Asks the loop thread to end; returns at once.
    void requestStop();
    void join();
    // True once the loop thread ended because the connection failed.
    bool failed() const { return failed_; }

    // Calls `message` through `proxy` and returns its reply; throws sdbus::Error.
    sdbus::MethodReply call(sdbus::IProxy& proxy, const sdbus::MethodCall& message,
                            std::chrono::microseconds timeout);

    // True on the loop thread and on a thread that processes this connection in call().
    bool processesHere() const;
    // True on a thread that processes any shared loop's connection.
    static bool processesAny();

  private:
    struct Pending;

    void run();
    // Processes the connection on this thread until `pending` is done, or waits while another
    // thread processes it. Throws sdbus::Error when the connection fails.
    void processUntil(const Pending& pending);
    void callerEnters();
    void callerLeaves();
    // With the lock held: the events the loop thread waits for on the connection (0: none).
    void watch(short events);
    void wakeLoop() const;

    sdbus::IConnection& connection_;
    const int busFd_;
    int wakeFd_ = -1;
    int epollFd_ = -1;
    std::thread thread_;
    std::atomic<std::thread::id> loopThread_{};
    std::atomic<bool> failed_{false};

    std::mutex mutex_;
    std::condition_variable callerMayRun_;
    std::atomic<int> activeCallers_{0};
    bool processing_ = false;  // a thread processes the connection now
    bool stopping_ = false;
    short watched_ = -1;  // events the loop's wait set holds for the connection
};

}  // namespace qm::ipc
