#pragma once

#include <atomic>
#include <vector>

#include "service/log/log_event.h"

namespace qm {

// The queue between the threads that post log events and the log's single writer thread.
// Pushing is lock-free (one compare-and-swap on the head of an intrusive stack), so a producer
// never waits for the writer or the disk; the writer takes everything at once and restores the
// posting order.
class LogEventQueue {
  public:
    LogEventQueue() = default;
    LogEventQueue(const LogEventQueue&) = delete;
    LogEventQueue& operator=(const LogEventQueue&) = delete;
    ~LogEventQueue();

    // Any thread.
    void push(LogEventPtr event) noexcept;

    // The writer thread (or the owner while no writer runs): every queued event, oldest first.
    std::vector<LogEventPtr> takeAll();
    void discardAll() noexcept;

  private:
    std::atomic<QM_LOG_EVENT*> head_{nullptr};
};

}  // namespace qm
