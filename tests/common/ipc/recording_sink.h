#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/sdk/interfaces.h"

namespace qm::ipc::testing {

// A sink that records what it is told. It can be made to hang (a client that stops answering)
// until released, and can run an action inside the call.
class RecordingSink final : public sdk::IDeviceNotify {
  public:
    using Notification = std::pair<std::string, int>;  // serial, state
    using Received = std::vector<Notification>;

    sdk::HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) override {
        std::function<void()> action;
        {
            std::unique_lock lock(mutex_);
            if (hang_) {
                ++hanging_;
                changed_.notify_all();
                changed_.wait(lock, [this] { return !hang_; });
                --hanging_;
            }
            received_.emplace_back(bstrSN, nState);
            action = std::move(action_);
            action_ = nullptr;
        }
        changed_.notify_all();
        if (action) {
            action();
        }
        return sdk::S_OK;
    }

    Received received() const {
        std::lock_guard guard(mutex_);
        return received_;
    }

    void clear() {
        std::lock_guard guard(mutex_);
        received_.clear();
    }

    bool waitForCount(std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        return waitUntil(timeout, [&] { return received_.size() >= count; });
    }
    // True once `expected` has arrived in this order, other notifications allowed in between
    // (a service may announce a start twice, for instance).
    bool waitForSequence(const Received& expected, std::chrono::milliseconds timeout) {
        return waitUntil(timeout, [&] {
            std::size_t next = 0;
            for (const Notification& n : received_) {
                next += next < expected.size() && n == expected[next] ? 1 : 0;
            }
            return next == expected.size();
        });
    }

    // Every call from now on hangs until release().
    void hang() {
        std::lock_guard guard(mutex_);
        hang_ = true;
    }
    void release() {
        {
            std::lock_guard guard(mutex_);
            hang_ = false;
        }
        changed_.notify_all();
    }
    bool waitUntilHanging(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return hanging_ > 0; });
    }

    // Runs `action` inside the next call, after recording it.
    void onNextCall(std::function<void()> action) {
        std::lock_guard guard(mutex_);
        action_ = std::move(action);
    }

  private:
    template <typename Predicate>
    bool waitUntil(std::chrono::milliseconds timeout, Predicate done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, done);
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Received received_;
    bool hang_ = false;
    int hanging_ = 0;
    std::function<void()> action_;
};

// Releases a hanging sink when the test ends, also when it ends early on a failed assertion
// (a client's connection cannot close while its event loop hangs in the sink).
class ReleaseOnExit {
  public:
    explicit ReleaseOnExit(RecordingSink& sink) : sink_(sink) {}
    ReleaseOnExit(const ReleaseOnExit&) = delete;
    ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;
    ~ReleaseOnExit() { sink_.release(); }

  private:
    RecordingSink& sink_;
};

}  // namespace qm::ipc::testing
