#pragma once

#include <functional>
#include <thread>

// Turns SIGINT and SIGTERM into calls of a function on a thread of its own, so that a program
// can end its main loop in order instead of being killed.
//
// Create it on the main thread before any other thread starts: it blocks the two signals for
// the calling thread, every thread started later inherits that, and only this object's thread
// takes them (from a signalfd). The destructor wakes and joins that thread at once; the
// signals stay blocked, as the program is about to end.
namespace qm::qmctl {

class SignalForwarder {
  public:
    explicit SignalForwarder(std::function<void(int)> onSignal);
    SignalForwarder(const SignalForwarder&) = delete;
    SignalForwarder& operator=(const SignalForwarder&) = delete;
    ~SignalForwarder();

  private:
    void run();

    std::function<void(int)> onSignal_;
    int signalFd_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
};

}  // namespace qm::qmctl
