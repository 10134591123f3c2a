#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/sdk/interfaces.h"

// A client's sink in the end-to-end tests: records every notification, lets the test wait
// (bounded) for notifications to arrive in a given order, and can be made to block inside
// OnDeviceNotify, as a client that never answers.
namespace qm::e2e {

using Notification = std::pair<std::string, int>;  // serial, state

class NotificationRecorder final : public sdk::IDeviceNotify {
  public:
    sdk::HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) override {
        std::unique_lock lock(mutex_);
        received_.emplace_back(bstrSN, nState);
        changed_.notify_all();
        if (blocking_) {
            ++blockedCalls_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !blocking_; });
        }
        return sdk::S_OK;
    }

    std::vector<Notification> received() const {
        std::lock_guard guard(mutex_);
        return received_;
    }

    // True once `expected` has arrived in this order, other notifications allowed in between
    // (the service may announce a start twice, for instance); false when the time-out passed
    // first.
    bool waitForSequence(const std::vector<Notification>& expected,
                         std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return containsInOrder(expected); });
    }

    // How often a notification has arrived.
    std::size_t countOf(const Notification& notification) const {
        std::lock_guard guard(mutex_);
        std::size_t count = 0;
        for (const auto& n : received_)
            count += n == notification ? 1 : 0;
        return count;
    }
    bool waitForCount(const Notification& notification, std::size_t count,
                      std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            std::size_t seen = 0;
            for (const auto& n : received_)
                seen += n == notification ? 1 : 0;
            return seen >= count;
        });
    }

    // From now on every call blocks until unblock().
    void block() {
        std::lock_guard guard(mutex_);
        blocking_ = true;
    }
    void unblock() {
        {
            std::lock_guard guard(mutex_);
            blocking_ = false;
        }
        changed_.notify_all();
    }
    bool waitUntilBlocked(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return blockedCalls_ > 0; });
    }

  private:
    bool containsInOrder(const std::vector<Notification>& expected) const {
        std::size_t next = 0;
        for (const auto& n : received_) {
            if (next < expected.size() && n == expected[next])
                ++next;
        }
        return next == expected.size();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Notification> received_;
    bool blocking_ = false;
    int blockedCalls_ = 0;
};

}  // namespace qm::e2e
