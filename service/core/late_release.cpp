#include "service/core/late_release.h"

#include <algorithm>

namespace qm::core {

LateRelease& LateRelease::instance() {
    static LateRelease release;
    return release;
}

void LateRelease::adopt(std::shared_ptr<Event> ended, std::function<void()> destroy) {
    {
        std::lock_guard guard(mutex_);
        waiting_.push_back({std::move(ended), std::move(destroy)});
    }
    reap();
}

std::size_t LateRelease::reap(Duration wait) {
    if (wait > Duration::zero()) {
        std::vector<std::shared_ptr<Event>> running;
        {
            std::lock_guard guard(mutex_);
            for (const Entry& entry : waiting_)
                running.push_back(entry.ended);
        }
        for (const auto& ended : running)
            ended->waitFor(wait);
    }
    std::vector<Entry> done;
    std::size_t left = 0;
    {
        std::lock_guard guard(mutex_);
        const auto finished = std::stable_partition(
            waiting_.begin(), waiting_.end(), [](const Entry& e) { return !e.ended->isSet(); });
        done.assign(std::make_move_iterator(finished), std::make_move_iterator(waiting_.end()));
        waiting_.erase(finished, waiting_.end());
        left = waiting_.size();
    }
    for (Entry& entry : done)
        entry.destroy();
    return left;
}

// An object whose thread still runs at exit is not destroyed (that would wait for the thread);
// its destroy function is dropped without being called.
LateRelease::~LateRelease() {
    reap();
}

}  // namespace qm::core
