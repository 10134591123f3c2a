#include "service/log/qm_log.h"

#include <algorithm>
#include <cstdarg>
#include <system_error>

#include "common/text/text.h"
#include "service/log/log_format.h"

namespace qm {

CQmLog::CQmLog(Clock& clock, LogStorage& storage) : clock_(clock), storage_(storage) {}

CQmLog::~CQmLog() {
    std::lock_guard lifecycle(lifecycleMutex_);
    stopLocked();
    for (WriterThread& stuck : abandoned_) {
        stuck.thread.join();
    }
}

std::string CQmLog::Folder() const {
    std::lock_guard lifecycle(lifecycleMutex_);
    return folder_;
}

std::string CQmLog::Name() const {
    std::lock_guard lifecycle(lifecycleMutex_);
    return name_;
}

void CQmLog::Start(std::string_view folder, std::string_view name) {
    std::lock_guard lifecycle(lifecycleMutex_);
    stopLocked();
    folder_ = normalizeLogFolder(folder);
    name_ = std::string(name);
    if (!storage_.ensureDirectory(folder_) || name_.empty()) {
        return;
    }
    auto started = std::make_unique<WriterThread>();
    started->writer = std::make_unique<LogWriter>(clock_, storage_, queue_, folder_, name_);
    running_.store(true);
    writerExists_.store(true);
    try {
        started->thread = std::thread([writer = started->writer.get()] { writer->run(); });
    } catch (const std::system_error&) {
        running_.store(false);
        writerExists_.store(false);
        return;
    }
    current_ = std::move(started);
}

void CQmLog::Stop() {
    std::lock_guard lifecycle(lifecycleMutex_);
    stopLocked();
}

void CQmLog::stopLocked() {
    running_.store(false);
    if (current_) {
        current_->writer->requestStop();
        if (current_->writer->awaitFinished(kStopWait)) {
            current_->thread.join();
        } else {
            current_->writer->abandon();
            abandoned_.push_back(std::move(*current_));
        }
        current_.reset();
    }
    writerExists_.store(false);
    queue_.discardAll();
    joinFinishedAbandonedWriters();
}

void CQmLog::Post(std::uint32_t type, std::uint64_t time, std::string_view text) {
    if (!writerExists_.load()) {
        return;
    }
    queue_.push(makeLogEvent(type, time, text));
}

void CQmLog::Log(std::uint32_t type, const char* format, ...) {
    // A running log always has a folder: Start runs the writer only for an existing one.
    if (!running_.load()) {
        return;
    }
    va_list args;
    va_start(args, format);
    const std::string message = text::vformat(format, args);
    va_end(args);
    postMessage(type, message);
}

void CQmLog::LogText(std::uint32_t type, std::string_view text) {
    if (!running_.load()) {
        return;
    }
    postMessage(type, text);
}

void CQmLog::postMessage(std::uint32_t type, std::string_view message) {
    // A UTF-8 text never has more UTF-16 units than bytes, so short texts skip the count.
    if (message.empty() ||
        (message.size() > kMaxLogTextUnits && text::utf16Length(message) > kMaxLogTextUnits)) {
        return;
    }
    Post(type, toFileTime(clock_.localNow()), message);
}

void CQmLog::joinFinishedAbandonedWriters() {
    const auto done = std::partition(abandoned_.begin(), abandoned_.end(),
                                     [](const WriterThread& w) { return !w.writer->finished(); });
    for (auto it = done; it != abandoned_.end(); ++it) {
        it->thread.join();
    }
    abandoned_.erase(done, abandoned_.end());
}

}  // namespace qm
