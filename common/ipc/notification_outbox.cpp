#include "common/ipc/notification_outbox.h"

#include <algorithm>

namespace qm::ipc {

NotificationOutbox::NotificationOutbox(std::size_t maxQueuedPerClient)
    : maxQueuedPerClient_(std::max<std::size_t>(maxQueuedPerClient, 1)) {}

bool NotificationOutbox::post(const std::string& client, const std::string& path,
                              const std::string& serial, int state) {
    {
        std::lock_guard guard(mutex_);
        if (closed_) {
            return false;
        }
        Lane& lane = lanes_[client];
        if (lane.waiting.size() >= maxQueuedPerClient_) {
            lane.waiting.pop_front();
            ++dropped_;
        }
        lane.waiting.push_back(Notification{client, path, serial, state, nextTicket_++});
    }
    wake_.notify_all();
    return true;
}

void NotificationOutbox::dropSink(const std::string& client, const std::string& path) {
    std::lock_guard guard(mutex_);
    const auto it = lanes_.find(client);
    if (it == lanes_.end()) {
        return;
    }
    std::erase_if(it->second.waiting, [&](const Notification& n) { return n.path == path; });
}

void NotificationOutbox::dropClient(const std::string& client) {
    {
        std::lock_guard guard(mutex_);
        // Without a lane the sender holds nothing for the client (it forgot it when the lane
        // emptied).
        if (lanes_.erase(client) == 0) {
            return;
        }
        forgotten_.push_back(client);
    }
    wake_.notify_all();
}

std::optional<NotificationOutbox::Work> NotificationOutbox::next() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (auto work = takeReady()) {
            return work;
        }
        if (closed_) {
            return std::nullopt;
        }
        wake_.wait(lock);
    }
}

std::optional<NotificationOutbox::Work> NotificationOutbox::takeReady() {
    if (!forgotten_.empty()) {
        Work work{Work::Kind::ForgetClient, {}};
        work.notification.client = std::move(forgotten_.back());
        forgotten_.pop_back();
        return work;
    }
    for (auto& [client, lane] : lanes_) {
        if (lane.waiting.empty() || (lane.inFlight && !closed_)) {
            continue;
        }
        Work work{Work::Kind::Send, std::move(lane.waiting.front())};
        lane.waiting.pop_front();
        lane.inFlight = work.notification.ticket;
        return work;
    }
    return std::nullopt;
}

void NotificationOutbox::finished(const std::string& client, std::uint64_t ticket) {
    {
        std::lock_guard guard(mutex_);
        const auto it = lanes_.find(client);
        if (it == lanes_.end() || it->second.inFlight != ticket) {
            return;
        }
        it->second.inFlight.reset();
        if (it->second.waiting.empty()) {
            // Nothing more for this client: forget its lane, and let the sender forget its
            // proxies, so that nothing stays behind for clients that are no longer notified.
            lanes_.erase(it);
            forgotten_.push_back(client);
        }
    }
    wake_.notify_all();
}

void NotificationOutbox::close() {
    {
        std::lock_guard guard(mutex_);
        closed_ = true;
    }
    wake_.notify_all();
}

std::size_t NotificationOutbox::droppedCount() const {
    std::lock_guard guard(mutex_);
    return dropped_;
}

}  // namespace qm::ipc
