#include "service/log/log_writer.h"

#include <algorithm>

#include "service/log/log_format.h"

namespace qm {

LogWriter::LogWriter(Clock& clock, LogStorage& storage, LogEventQueue& queue, std::string folder,
                     std::string name)
    : clock_(clock),
      storage_(storage),
      queue_(queue),
      folder_(std::move(folder)),
      name_(std::move(name)),
      wake_(clock, Event::Reset::Auto),
      finished_(clock, Event::Reset::Manual) {}

void LogWriter::run() {
    writeStart();
    TimePoint nextBatch = clock_.now() + kFirstBatch;
    while (!abandoned()) {
        if (stopRequested_.load()) {
            writeRemaining();
            break;
        }
        wake_.waitUntil(std::min(nextBatch, clock_.now() + kStopCheck));
        const TimePoint now = clock_.now();
        if (now < nextBatch) {
            continue;
        }
        // Periods missed while the writer was busy fold into this batch, as with a periodic
        // timer that is signalled once however late it is read.
        nextBatch += kBatchPeriod * ((now - nextBatch) / kBatchPeriod + 1);
        writeBatch();
    }
    file_.reset();
    finished_.set();
}

void LogWriter::writeStart() {
    fileDate_ = clock_.localNow();
    openFile(fileDate_);
    if (file_) {
        append(logHeaderLine(fileDate_));
    }
}

void LogWriter::writeBatch() {
    const std::vector<LogEventPtr> events = takeQueued();
    // The events go to the file of the date read now: one stamped just before midnight and
    // written after it lands in the new day's file with its own time.
    const LocalDateTime today = clock_.localNow();
    if (!today.sameDate(fileDate_)) {
        fileDate_ = today;
        file_.reset();
        openFile(fileDate_);
    }
    writeEvents(events);
}

void LogWriter::writeRemaining() {
    writeEvents(takeQueued());
}

void LogWriter::requestStop() {
    stopRequested_.store(true);
    wake_.set();
}

bool LogWriter::awaitFinished(Duration timeout) {
    return finished_.waitFor(timeout);
}

bool LogWriter::finished() const {
    return finished_.isSet();
}

void LogWriter::abandon() {
    io_.store(Io::Abandoned);
    requestStop();
}

bool LogWriter::beginIo() {
    Io expected = Io::Idle;
    return io_.compare_exchange_strong(expected, Io::Busy);
}

bool LogWriter::endIo() {
    Io expected = Io::Busy;
    return io_.compare_exchange_strong(expected, Io::Idle);
}

bool LogWriter::abandoned() const {
    return io_.load() == Io::Abandoned;
}

void LogWriter::openFile(const LocalDateTime& date) {
    if (!beginIo()) {
        return;
    }
    std::unique_ptr<LogFile> file = storage_.openForAppend(logFilePath(folder_, name_, date));
    // A new file begins with the byte order mark. The first bytes of an existing file are left
    // alone: they are the mark already, or text that writing the mark over would destroy.
    if (file && file->initialSize() == 0) {
        file->append(kUtf8Bom);
    }
    if (endIo()) {
        file_ = std::move(file);
    }
}

std::vector<LogEventPtr> LogWriter::takeQueued() {
    if (!beginIo()) {
        return {};
    }
    std::vector<LogEventPtr> events = queue_.takeAll();
    endIo();
    return events;
}

void LogWriter::writeEvents(const std::vector<LogEventPtr>& events) {
    // Without an open file the events are dropped: the log waits for the next day's file.
    for (const LogEventPtr& event : events) {
        if (!file_ || abandoned()) {
            return;
        }
        append(logEventLine(event->time, event->type, event->text));
    }
}

void LogWriter::append(std::string_view bytes) {
    if (!beginIo()) {
        return;
    }
    file_->append(bytes);
    endIo();
}

}  // namespace qm
