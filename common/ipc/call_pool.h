#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qm::ipc {

// A fixed set of worker threads that run the service's method calls, so that a slow device
// exchange does not hold up the connection's event loop or other clients' calls.
class CallPool {
  public:
    explicit CallPool(std::size_t threads);
    CallPool(const CallPool&) = delete;
    CallPool& operator=(const CallPool&) = delete;
    ~CallPool();

    // Queues a job; false once stop() has begun (the job is not run then).
    bool post(std::function<void()> job);
    // Refuses new jobs, lets the workers finish every queued job and joins them.
    void stop();

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace qm::ipc
