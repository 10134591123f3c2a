#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "common/runtime/event.h"

namespace qm::core {

// Objects whose worker thread did not end within their owner's bounded wait. Destroying such an
// object joins that thread, so it can't be destroyed yet; it waits here instead and is destroyed
// by the first reap() after its thread has ended (adopting another object reaps too). Nothing is
// ever destroyed on the thread it waits for. What still runs when the process exits is left to
// the exit.
class LateRelease {
  public:
    static LateRelease& instance();

    // Takes an object whose thread signals `ended` when it has finished; `destroy` destroys it.
    void adopt(std::shared_ptr<Event> ended, std::function<void()> destroy);
    // Destroys every adopted object whose thread has ended, after waiting up to `wait` (on the
    // clock of each object's end event) for those still running; the number still waiting.
    std::size_t reap(Duration wait = Duration::zero());

    ~LateRelease();

  private:
    struct Entry {
        std::shared_ptr<Event> ended;
        std::function<void()> destroy;
    };

    LateRelease() = default;

    std::mutex mutex_;
    std::vector<Entry> waiting_;
};

}  // namespace qm::core
