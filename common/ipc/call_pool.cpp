#include "common/ipc/call_pool.h"

#include <algorithm>

namespace qm::ipc {

CallPool::CallPool(std::size_t threads) {
    const std::size_t count = std::max<std::size_t>(threads, 1);
    workers_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

CallPool::~CallPool() {
    stop();
}

bool CallPool::post(std::function<void()> job) {
    {
        std::lock_guard guard(mutex_);
        if (stopping_) {
            return false;
        }
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
    return true;
}

void CallPool::stop() {
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

void CallPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace qm::ipc
