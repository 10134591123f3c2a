#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "common/runtime/clock.h"

namespace qm {

// A signal that one thread sets and another waits for, with a deadline on a given clock.
// Auto-reset: a successful wait consumes the signal. Manual-reset: it stays set until reset().
class Event {
  public:
    enum class Reset { Auto, Manual };

    explicit Event(Clock& clock, Reset reset = Reset::Auto);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool isSet() const;

    // True when the event was (or became) set before the deadline.
    bool waitUntil(TimePoint deadline);
    bool waitFor(Duration timeout) { return waitUntil(clock_.now() + timeout); }

  private:
    Clock& clock_;
    const Reset reset_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
    std::unique_ptr<Clock::Subscription> subscription_;
};

}  // namespace qm
