#include "service/core/exchange_lock.h"

namespace qm::core {

bool ExchangeLock::acquire(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait(lock, std::move(stop), [this] { return !held_; })) {
        return false;
    }
    held_ = true;
    return true;
}

void ExchangeLock::release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    cv_.notify_all();
}

}  // namespace qm::core
