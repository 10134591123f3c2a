#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "common/runtime/clock.h"

namespace qm {

// A thread's message queue: any thread posts, the owning thread waits for the next message
// with a deadline on the given clock. Posting never blocks on the consumer.
template <typename Message>
class MessageQueue {
  public:
    explicit MessageQueue(Clock& clock)
        : clock_(clock), subscription_(clock.subscribe(mutex_, cv_)) {}
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    void post(Message message) {
        std::lock_guard guard(mutex_);
        messages_.push_back(std::move(message));
        cv_.notify_all();
    }

    // The next message, or nothing when the deadline passed first.
    std::optional<Message> waitUntil(TimePoint deadline) {
        std::unique_lock lock(mutex_);
        while (messages_.empty()) {
            if (!clock_.waitUntil(lock, cv_, deadline) && messages_.empty()) {
                return std::nullopt;
            }
        }
        Message message = std::move(messages_.front());
        messages_.pop_front();
        return message;
    }

    std::optional<Message> tryPop() {
        std::lock_guard guard(mutex_);
        if (messages_.empty()) {
            return std::nullopt;
        }
        Message message = std::move(messages_.front());
        messages_.pop_front();
        return message;
    }

    // Takes every queued message at once, in posting order.
    std::vector<Message> drain() {
        std::lock_guard guard(mutex_);
        std::vector<Message> all(std::make_move_iterator(messages_.begin()),
                                 std::make_move_iterator(messages_.end()));
        messages_.clear();
        return all;
    }

    std::size_t size() const {
        std::lock_guard guard(mutex_);
        return messages_.size();
    }

  private:
    Clock& clock_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Message> messages_;
    std::unique_ptr<Clock::Subscription> subscription_;
};

}  // namespace qm
