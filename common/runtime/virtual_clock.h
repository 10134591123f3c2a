#pragma once

#include <atomic>
#include <vector>

#include "common/runtime/clock.h"

namespace qm {

// A clock whose time moves only when told to. Used by tests and benchmarks.
//
// In AutoAdvance mode (the default) `sleepFor` moves time forward by the sleep itself and returns
// at once: a single thread that sleeps 10 ms and reads with a 150 ms time-out costs no real
// time, and the clock counts how long everything slept. In Manual mode `sleepFor` blocks until
// another thread has advanced the clock past the end of the sleep.
//
// Waits with a deadline (events, message queues) never move time themselves: they end when
// signalled, or when some thread advances the clock past their deadline.
class VirtualClock final : public Clock {
  public:
    enum class Mode { AutoAdvance, Manual };

    explicit VirtualClock(Mode mode = Mode::AutoAdvance,
                          LocalDateTime start = {2026, 12, 5, 9, 0, 0, 0});
    ~VirtualClock() override;

    TimePoint now() const override;
    LocalDateTime localNow() const override;
    void sleepFor(Duration d) override;
    std::unique_ptr<Subscription> subscribe(std::mutex& mutex,
                                            std::condition_variable& cv) override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   TimePoint deadline) override;

    // Moves time forward and wakes every subscribed waiter.
    void advance(Duration d);
    // Sets the local wall-clock reading that corresponds to the current instant.
    void setLocalTime(const LocalDateTime& t);

    Mode mode() const { return mode_; }
    // Number of sleepFor calls and their total length since construction or resetCounters().
    std::uint64_t sleepCount() const { return sleepCount_.load(); }
    Duration sleptTotal() const { return Duration(sleptTotal_.load()); }
    void resetCounters();

    // Waits (in real time) until at least `n` threads are blocked in a wait or a Manual-mode
    // sleep on this clock: once it returns, a following advance() is seen by all of them.
    void awaitBlocked(int n);

  private:
    class Waiter;
    void wakeAll();
    void enterBlocked();
    void leaveBlocked();

    const Mode mode_;
    std::atomic<std::int64_t> elapsed_{0};      // nanoseconds since construction
    std::atomic<std::int64_t> localOffset_{0};  // local-time base in 100-ns file-time units
    std::atomic<std::uint64_t> sleepCount_{0};
    std::atomic<std::int64_t> sleptTotal_{0};

    std::atomic<int> blocked_{0};
    std::mutex blockedMutex_;
    std::condition_variable blockedCv_;

    std::mutex waitersMutex_;
    std::vector<Waiter*> waiters_;

    // Used by Manual-mode sleepers.
    std::mutex sleepMutex_;
    std::condition_variable sleepCv_;
    std::unique_ptr<Subscription> sleepSubscription_;
};

}  // namespace qm
