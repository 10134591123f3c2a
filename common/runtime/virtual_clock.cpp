#include "common/runtime/virtual_clock.h"

#include <algorithm>

namespace qm {

// A subscribed waiter: its mutex and condition variable, poked whenever time moves.
// The poke takes the waiter's mutex, and a waiter holds that mutex from reading the time until
// it sleeps on the condition variable, so no wake-up is lost.
class VirtualClock::Waiter final : public Clock::Subscription {
  public:
    Waiter(VirtualClock& clock, std::mutex& mutex, std::condition_variable& cv)
        : clock_(clock), mutex_(mutex), cv_(cv) {
        std::lock_guard guard(clock_.waitersMutex_);
        clock_.waiters_.push_back(this);
    }
    ~Waiter() override {
        std::lock_guard guard(clock_.waitersMutex_);
        auto& list = clock_.waiters_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    Waiter(const Waiter&) = delete;
    Waiter& operator=(const Waiter&) = delete;

    void poke() {
        std::lock_guard guard(mutex_);
        cv_.notify_all();
    }

  private:
    VirtualClock& clock_;
    std::mutex& mutex_;
    std::condition_variable& cv_;
};

VirtualClock::VirtualClock(Mode mode, LocalDateTime start) : mode_(mode) {
    localOffset_.store(static_cast<std::int64_t>(toFileTime(start)));
    sleepSubscription_ = subscribe(sleepMutex_, sleepCv_);
}

VirtualClock::~VirtualClock() {
    sleepSubscription_.reset();
}

TimePoint VirtualClock::now() const {
    return TimePoint(Duration(elapsed_.load()));
}

LocalDateTime VirtualClock::localNow() const {
    return fromFileTime(static_cast<std::uint64_t>(localOffset_.load() + elapsed_.load() / 100));
}

void VirtualClock::setLocalTime(const LocalDateTime& t) {
    localOffset_.store(static_cast<std::int64_t>(toFileTime(t)) - elapsed_.load() / 100);
}

void VirtualClock::resetCounters() {
    sleepCount_.store(0);
    sleptTotal_.store(0);
}

void VirtualClock::sleepFor(Duration d) {
    if (d < Duration::zero()) {
        d = Duration::zero();
    }
    sleepCount_.fetch_add(1);
    sleptTotal_.fetch_add(d.count());
    if (mode_ == Mode::AutoAdvance) {
        advance(d);
        return;
    }
    const TimePoint end = now() + d;
    std::unique_lock lock(sleepMutex_);
    while (now() < end) {
        enterBlocked();
        sleepCv_.wait(lock);
        leaveBlocked();
    }
}

std::unique_ptr<Clock::Subscription> VirtualClock::subscribe(std::mutex& mutex,
                                                             std::condition_variable& cv) {
    return std::make_unique<Waiter>(*this, mutex, cv);
}

bool VirtualClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                             TimePoint deadline) {
    if (now() >= deadline) {
        return false;
    }
    enterBlocked();
    cv.wait(lock);
    leaveBlocked();
    return now() < deadline;
}

void VirtualClock::enterBlocked() {
    std::lock_guard guard(blockedMutex_);
    blocked_.fetch_add(1);
    blockedCv_.notify_all();
}

void VirtualClock::leaveBlocked() {
    blocked_.fetch_sub(1);
}

void VirtualClock::awaitBlocked(int n) {
    std::unique_lock lock(blockedMutex_);
    blockedCv_.wait(lock, [&] { return blocked_.load() >= n; });
}

void VirtualClock::advance(Duration d) {
    if (d > Duration::zero()) {
        elapsed_.fetch_add(d.count());
    }
    wakeAll();
}

void VirtualClock::wakeAll() {
    std::lock_guard guard(waitersMutex_);
    for (Waiter* w : waiters_) {
        w->poke();
    }
}

}  // namespace qm
