#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/runtime/clock.h"
#include "common/runtime/event.h"
#include "service/log/log_event_queue.h"
#include "service/log/log_storage.h"

namespace qm {

// The body of one log's writer thread: it owns the day's file, takes the queued events once a
// second and appends one line per event, and moves to a new file when the local date changes.
//
// One writer serves one start of the log. When its owner stops it, it writes what is still
// queued and finishes. An owner that can't wait any longer abandons it: from then on the writer
// takes nothing from the queue and begins no file operation; only an operation already under
// way when it was abandoned can still complete.
class LogWriter {
  public:
    // How often the batches are written, when the first one is, and how often the writer looks
    // at its stop request while it waits.
    static constexpr Duration kBatchPeriod = std::chrono::milliseconds(1000);
    static constexpr Duration kFirstBatch = std::chrono::milliseconds(1);
    static constexpr Duration kStopCheck = std::chrono::milliseconds(100);

    // `folder` ends with '/'. The clock, storage and queue outlive the writer.
    LogWriter(Clock& clock, LogStorage& storage, LogEventQueue& queue, std::string folder,
              std::string name);
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // The writer thread: the start steps, then a batch every period until asked to stop, then
    // the remaining events. Signals `finished` on the way out.
    void run();

    // The steps of run(), each complete in itself.
    // Reads the local date, opens that day's file and writes the header line.
    void writeStart();
    // Takes the queued events, switches to a new file when the date has changed, writes them.
    void writeBatch();
    // Takes the queued events and writes them to the current file.
    void writeRemaining();

    // Any thread.
    void requestStop();
    bool awaitFinished(Duration timeout);
    bool finished() const;
    void abandon();

  private:
    enum class Io { Idle, Busy, Abandoned };

    // Brackets every queue take and file operation; false once the writer is abandoned.
    bool beginIo();
    bool endIo();
    bool abandoned() const;

    void openFile(const LocalDateTime& date);
    std::vector<LogEventPtr> takeQueued();
    void writeEvents(const std::vector<LogEventPtr>& events);
    void append(std::string_view bytes);

    Clock& clock_;
    LogStorage& storage_;
    LogEventQueue& queue_;
    const std::string folder_;
    const std::string name_;

    std::atomic<bool> stopRequested_{false};
    std::atomic<Io> io_{Io::Idle};
    Event wake_;
    Event finished_;

    // Writer thread only.
    std::unique_ptr<LogFile> file_;
    LocalDateTime fileDate_;
};

}  // namespace qm
