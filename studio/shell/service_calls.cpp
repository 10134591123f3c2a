#include "studio/shell/service_calls.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

#include "common/text/text.h"

namespace qm::studio {

std::string ServiceCalls::laneOf(std::string_view serial) {
    // A leading '#' keeps every microphone's lane apart from the manager's empty name.
    return "#" + text::asciiUpperCopy(serial);
}

ServiceCalls::ServiceCalls(int workers, QObject* parent) : QObject(parent) {
    const int count = std::max(workers, 1);
    workers_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

ServiceCalls::~ServiceCalls() {
    shutdown();
}

void ServiceCalls::post(std::string lane, std::function<void()> work) {
    enqueue(std::move(lane), {}, [this, work = std::move(work)] {
        work();
        deliver([] {});
    });
}

void ServiceCalls::enqueue(std::string lane, std::string key, std::function<void()> run) {
    // What a refused or replaced call held (perhaps the last reference to a proxy) goes after
    // the lock is released.
    std::function<void()> dropped;
    {
        std::lock_guard guard(mutex_);
        if (!accepting_) {
            dropped = std::move(run);
            return;
        }
        if (!key.empty()) {
            const auto last = std::find_if(queue_.rbegin(), queue_.rend(),
                                           [&lane](const Job& job) { return job.lane == lane; });
            if (last != queue_.rend() && last->key == key) {
                dropped = std::exchange(last->run, std::move(run));
                return;
            }
        }
        queue_.push_back(Job{std::move(lane), std::move(key), std::move(run)});
        ++outstanding_;
    }
    wake_.notify_one();
}

void ServiceCalls::deliver(std::function<void()> handOver) {
    QMetaObject::invokeMethod(
        this,
        [this, handOver = std::move(handOver)] {
            {
                std::lock_guard guard(mutex_);
                --outstanding_;
            }
            handOver();
        },
        Qt::QueuedConnection);
}

std::deque<ServiceCalls::Job>::iterator ServiceCalls::nextRunnable() {
    return std::find_if(queue_.begin(), queue_.end(),
                        [this](const Job& job) { return busyLanes_.count(job.lane) == 0; });
}

void ServiceCalls::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || nextRunnable() != queue_.end(); });
        const auto next = nextRunnable();
        if (next == queue_.end()) {
            return;  // stopping, and nothing of ours is left
        }
        const std::string lane = next->lane;
        std::function<void()> run = std::move(next->run);
        queue_.erase(next);
        busyLanes_.insert(lane);
        ++running_;
        lock.unlock();
        bool delivered = true;
        try {
            run();
        } catch (...) {
            // The proxies do not throw; a call that did anyway gives no result.
            delivered = false;
        }
        run = nullptr;  // what the call held goes outside the lock
        lock.lock();
        --running_;
        if (!delivered) {
            --outstanding_;
        }
        busyLanes_.erase(lane);
        // The lane's next job may wait for this one.
        wake_.notify_all();
        settled_.notify_all();
    }
}

void ServiceCalls::shutdown(std::chrono::milliseconds grace) {
    std::deque<Job> dropped;
    {
        std::unique_lock lock(mutex_);
        if (workers_.empty()) {
            return;
        }
        accepting_ = false;
        settled_.wait_for(lock, grace, [this] { return queue_.empty() && running_ == 0; });
        outstanding_ -= static_cast<int>(queue_.size());
        dropped.swap(queue_);
        stopping_ = true;
    }
    dropped.clear();
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

bool ServiceCalls::idle() const {
    std::lock_guard guard(mutex_);
    return outstanding_ == 0;
}

bool ServiceCalls::waitForWorkers(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return settled_.wait_for(lock, limit, [this] { return queue_.empty() && running_ == 0; });
}

}  // namespace qm::studio
