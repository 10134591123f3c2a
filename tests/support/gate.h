#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qm::testing {

// A gate that threads pass while it is open and wait at while it is closed (for at most ten
// seconds, so a test never hangs on it).
class Gate {
  public:
    void close() {
        std::lock_guard guard(mutex_);
        closed_ = true;
    }
    void open() {
        {
            std::lock_guard guard(mutex_);
            closed_ = false;
        }
        cv_.notify_all();
    }
    void pass() {
        std::unique_lock lock(mutex_);
        ++waiting_;
        cv_.notify_all();
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return !closed_; });
        --waiting_;
    }
    // Waits (at most ten seconds) until a thread waits at the gate.
    bool awaitWaiting() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(10), [&] { return waiting_ > 0; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool closed_ = false;
    int waiting_ = 0;
};

}  // namespace qm::testing
