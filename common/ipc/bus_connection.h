#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "common/ipc/bus_address.h"

namespace sdbus {
class IConnection;
}

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
    // Processes messages on the calling thread until stopEventLoop() (from a handler, another
    // thread or a signal handler's helper thread). Returns false when the connection failed.
    bool runEventLoop();
    // Asks the loop to end after the message in hand; unless called on the loop thread, waits
    // for the loop thread to end.
    void stopEventLoop();
    // True on the thread that runs this connection's loop.
    bool isLoopThread() const;
    // True once the loop ended because the connection failed (for example the bus went away).
    bool loopFailed() const;

    struct State;

  private:
    explicit BusConnection(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};

// True on a thread that runs the loop of any BusConnection.
bool onAnyLoopThread();

}  // namespace qm::ipc
