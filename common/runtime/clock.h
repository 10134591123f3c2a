#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace qm {

using Duration = std::chrono::nanoseconds;
using TimePoint = std::chrono::steady_clock::time_point;

// A calendar date and time of the local wall clock, as shown to people and written in logs.
struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool sameDate(const LocalDateTime& other) const {
        return year == other.year && month == other.month && day == other.day;
    }
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The local date and time as 100-nanosecond units since 1601-01-01, taken as they stand
// (no time-zone conversion): the form in which timestamps travel in queued log events.
std::uint64_t toFileTime(const LocalDateTime& t);
LocalDateTime fromFileTime(std::uint64_t fileTime);

// Source of time for every waiting loop. The real clock follows the machine; the virtual clock
// lets tests move time by hand, so nothing in a test waits real time.
//
// Waits that must be woken early (events, queues) go through `waitUntil`, which takes the
// caller's own mutex and condition variable; objects that wait this way keep a `Subscription`
// for as long as they exist so that a virtual clock can wake them when time moves.
class Clock {
  public:
    class Subscription {
      public:
        virtual ~Subscription() = default;
    };

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;
    virtual LocalDateTime localNow() const = 0;
    virtual void sleepFor(Duration d) = 0;

    // Registers a waiter's mutex and condition variable for wake-ups on time changes.
    virtual std::unique_ptr<Subscription> subscribe(std::mutex& mutex,
                                                    std::condition_variable& cv) = 0;

    // Waits on `cv` (with `lock` held on the subscribed mutex) until notified or until the
    // deadline passes on this clock. Returns false when the deadline has passed.
    // Spurious returns are possible, as with any condition variable: callers loop on their
    // predicate.
    virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                           TimePoint deadline) = 0;

    // The process-wide real clock.
    static Clock& real();
};

class RealClock final : public Clock {
  public:
    TimePoint now() const override;
    LocalDateTime localNow() const override;
    void sleepFor(Duration d) override;
    std::unique_ptr<Subscription> subscribe(std::mutex& mutex,
                                            std::condition_variable& cv) override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   TimePoint deadline) override;
};

}  // namespace qm
