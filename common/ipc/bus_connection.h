#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "common/ipc/bus_address.h"

namespace sdbus {
class IConnection;
class IProxy;
class MethodCall;
class MethodReply;
}  // namespace sdbus

namespace qm::ipc {

// A bus that cannot be reached, a name that cannot be owned.
class BusError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One connection to a bus and the loop that processes its messages, on a thread of its own or on
// the caller's.
class BusConnection {
  public:
    // Throws BusError when the bus cannot be reached.
    static std::unique_ptr<BusConnection> open(const BusAddress& address);

    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;
    // Stops the loop and waits for its thread. Destroyed from a handler on its own loop thread,
    // it cannot wait for itself: the loop ends after the handler and the connection is closed
    // later, by the next connection opened or closed elsewhere, or at exit.
    ~BusConnection();

    sdbus::IConnection& native();
    std::string uniqueName() const;
    // Throws BusError when the name cannot be owned.
    void requestName(const std::string& name);

    // Processes messages on a thread of its own until stopEventLoop() or destruction.
    void startEventLoop();
    // Like startEventLoop(), for a connection that threads call through with call(): a caller
    // waits for its reply by processing the connection itself while the loop thread stands
    // aside, so a call costs no hand-off between threads. Only one thread processes the
    // connection at a time, so its handlers (exported objects, matches) still run one after
    // the other in the order their messages came, on the loop thread or on a calling thread.
    void startSharedEventLoop();
    // Calls `message` through `proxy` and returns the reply; throws sdbus::Error. On a connection
    // with a shared loop every synchronous call must go through here: a call made around it
    // could read (and hold back) the messages that another caller waits for.
    sdbus::MethodReply call(sdbus::IProxy& proxy, const sdbus::MethodCall& message,
                            std::chrono::microseconds timeout);
    // Processes messages on the calling thread until stopEventLoop() (from a handler, another
    // thread or a signal handler's helper thread). Returns false when the connection failed.
    bool runEventLoop();
    // Asks the loop to end after the message in hand; unless called on the loop thread, waits
    // for the loop thread to end.
    void stopEventLoop();
    // True on the thread that runs this connection's loop, and on a thread that processes the
    // connection in call() while it runs a handler.
    bool isLoopThread() const;
    // True once the loop ended because the connection failed (for example the bus went away).
    bool loopFailed() const;

    struct State;

  private:
    explicit BusConnection(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};

// True on a thread that runs the loop of any BusConnection or processes one in call().
bool onAnyLoopThread();

}  // namespace qm::ipc
