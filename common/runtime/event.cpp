#include "common/runtime/event.h"

namespace qm {

Event::Event(Clock& clock, Reset reset)
    : clock_(clock), reset_(reset), subscription_(clock.subscribe(mutex_, cv_)) {}

void Event::set() {
    std::lock_guard guard(mutex_);
    signalled_ = true;
    cv_.notify_all();
}

void Event::reset() {
    std::lock_guard guard(mutex_);
    signalled_ = false;
}

bool Event::isSet() const {
    std::lock_guard guard(mutex_);
    return signalled_;
}

bool Event::waitUntil(TimePoint deadline) {
    std::unique_lock lock(mutex_);
    while (!signalled_) {
        if (!clock_.waitUntil(lock, cv_, deadline) && !signalled_) {
            return false;
        }
    }
    if (reset_ == Reset::Auto) {
        signalled_ = false;
    }
    return true;
}

}  // namespace qm
