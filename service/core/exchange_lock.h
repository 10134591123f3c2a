#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace qm::core {

// The lock that makes each exchange with a microphone atomic. Not recursive. A waiter may give
// up when its stop token is triggered, so stopping a device never waits on a thread that is only
// queued for the lock.
class ExchangeLock {
  public:
    // False when `stop` was requested before the lock became free.
    bool acquire(std::stop_token stop = {});
    void release();

  private:
    std::mutex mutex_;
    std::condition_variable_any cv_;
    bool held_ = false;
};

// Scoped ownership of an ExchangeLock.
class ExchangeGuard {
  public:
    explicit ExchangeGuard(ExchangeLock& lock, std::stop_token stop = {})
        : lock_(lock), owned_(lock.acquire(std::move(stop))) {}
    ~ExchangeGuard() {
        if (owned_)
            lock_.release();
    }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

    bool owned() const { return owned_; }

  private:
    ExchangeLock& lock_;
    bool owned_;
};

}  // namespace qm::core
