#include "service/log/log_event.h"

#include <cstring>
#include <new>

#include "common/text/text.h"

namespace qm {

void LogEventDeleter::operator()(QM_LOG_EVENT* event) const noexcept {
    event->~QM_LOG_EVENT();
    ::operator delete(static_cast<void*>(event));
}

LogEventPtr makeLogEvent(std::uint32_t type, std::uint64_t time, std::string_view text) {
    // UTF-8 never takes fewer bytes than UTF-16 units, so a short text needs no counting.
    const std::string_view kept =
        text.size() <= kMaxLogTextUnits ? text : text::truncateUtf16Units(text, kMaxLogTextUnits);
    // The text is stored right behind the event so that posting costs one allocation.
    void* raw = ::operator new(sizeof(QM_LOG_EVENT) + kept.size());
    auto* event = new (raw) QM_LOG_EVENT{};
    char* storage = static_cast<char*>(raw) + sizeof(QM_LOG_EVENT);
    if (!kept.empty()) {
        std::memcpy(storage, kept.data(), kept.size());
    }
    event->time = time;
    event->type = type;
    event->text = std::string_view(storage, kept.size());
    return LogEventPtr(event);
}

}  // namespace qm
