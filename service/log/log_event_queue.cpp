#include "service/log/log_event_queue.h"

#include <algorithm>

namespace qm {

LogEventQueue::~LogEventQueue() {
    discardAll();
}

void LogEventQueue::push(LogEventPtr event) noexcept {
    QM_LOG_EVENT* node = event.release();
    node->next = head_.load(std::memory_order_relaxed);
    // Only the consumer removes nodes and it always takes the whole stack, so a node seen at the
    // head can't come back (no ABA): a failed exchange just retries with the newer head.
    while (!head_.compare_exchange_weak(node->next, node, std::memory_order_release,
                                        std::memory_order_relaxed)) {
    }
}

std::vector<LogEventPtr> LogEventQueue::takeAll() {
    QM_LOG_EVENT* node = head_.exchange(nullptr, std::memory_order_acquire);
    std::vector<LogEventPtr> events;
    while (node != nullptr) {
        QM_LOG_EVENT* next = node->next;
        node->next = nullptr;
        events.emplace_back(node);
        node = next;
    }
    // The stack holds the newest first.
    std::reverse(events.begin(), events.end());
    return events;
}

void LogEventQueue::discardAll() noexcept {
    QM_LOG_EVENT* node = head_.exchange(nullptr, std::memory_order_acquire);
    while (node != nullptr) {
        QM_LOG_EVENT* next = node->next;
        LogEventDeleter{}(node);
        node = next;
    }
}

}  // namespace qm
