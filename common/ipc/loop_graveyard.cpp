#include "common/ipc/loop_graveyard.h"

#include "common/ipc/bus_connection.h"

namespace qm::ipc {

LoopGraveyard& LoopGraveyard::instance() {
    static LoopGraveyard graveyard;
    return graveyard;
}

void LoopGraveyard::adopt(std::unique_ptr<Reapable> remains) {
    std::lock_guard guard(mutex_);
    remains_.push_back(std::move(remains));
}

void LoopGraveyard::reap() {
    if (onAnyLoopThread()) {
        return;
    }
    std::vector<std::unique_ptr<Reapable>> taken;
    {
        std::lock_guard guard(mutex_);
        taken.swap(remains_);
    }
    taken.clear();
}

LoopGraveyard::~LoopGraveyard() {
    reap();
}

}  // namespace qm::ipc
