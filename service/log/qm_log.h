#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/runtime/clock.h"
#include "service/log/log_event_queue.h"
#include "service/log/log_storage.h"
#include "service/log/log_writer.h"

namespace qm {

// A dated text log of the service (the device manager's, or one microphone's) with its own
// writer thread. Any thread posts lines without waiting for the disk; the writer appends them
// once a second to "<folder><name> [yyyy.mm.dd].log", a UTF-8 file with a byte order mark, and
// moves to a new file when the local date changes.
//
// Start, Stop and destruction may come from several threads at once (client calls, the device
// manager's thread, a release): each runs whole, one after the other. They are not synchronised
// with the posting threads: a line posted while the log restarts may be written by the new
// writer or dropped.
class CQmLog {
  public:
    // How long Stop waits for the writer to write what is queued and finish.
    static constexpr Duration kStopWait = std::chrono::milliseconds(500);

    explicit CQmLog(Clock& clock = Clock::real(), LogStorage& storage = FileLogStorage::instance());
    CQmLog(const CQmLog&) = delete;
    CQmLog& operator=(const CQmLog&) = delete;
    // Stops the log and drops what is left in the queue. A writer abandoned earlier because it
    // was stuck in the system is waited for here.
    virtual ~CQmLog();

    // (Re)starts the log: stops a running writer, keeps the folder (cut to 258 UTF-16 units and
    // ending with '/') and the name, creates the folder with its parents when missing and, when
    // the folder is there and the name isn't empty, starts the writer. Otherwise the log stays
    // idle and drops what is posted.
    void Start(std::string_view folder, std::string_view name);

    // Asks the writer to write what is queued and finish, waiting at most kStopWait for it;
    // a writer that hasn't finished by then is abandoned (it writes nothing more) and the
    // events still queued are dropped.
    void Stop();

    // Queues one event while a writer exists; the text is cut to 2047 UTF-16 units.
    void Post(std::uint32_t type, std::uint64_t time, std::string_view text);

    // printf-style logging, stamped with the local time. Only while the log runs; a message
    // that is empty or longer than 2047 UTF-16 units is dropped whole.
    void Log(std::uint32_t type, const char* format, ...) __attribute__((format(printf, 3, 4)));

    // The same for a text that is recorded as it stands and never used as a format.
    void LogText(std::uint32_t type, std::string_view text);

    bool IsRunning() const { return running_.load(); }
    // The folder (with its trailing '/') and the name of the last Start.
    std::string Folder() const;
    std::string Name() const;

  private:
    struct WriterThread {
        std::unique_ptr<LogWriter> writer;
        std::thread thread;
    };

    void postMessage(std::uint32_t type, std::string_view message);
    void stopLocked();
    void joinFinishedAbandonedWriters();

    Clock& clock_;
    LogStorage& storage_;
    LogEventQueue queue_;

    // Held by Start, Stop and the destructor; guards the members below it.
    mutable std::mutex lifecycleMutex_;
    std::string folder_;
    std::string name_;

    // Set while a writer runs and takes formatted lines.
    std::atomic<bool> running_{false};
    // Set while a writer exists to take posted events.
    std::atomic<bool> writerExists_{false};
    std::unique_ptr<WriterThread> current_;
    // Writers that didn't finish in time, kept until their threads can be joined.
    std::vector<WriterThread> abandoned_;
};

}  // namespace qm
