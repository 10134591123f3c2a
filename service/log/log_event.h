#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace qm {

// One queued log line: allocated by the thread that posts it (a single allocation that also
// holds the text) and freed by the log's writer thread after writing it.
struct QM_LOG_EVENT {
    // Local wall-clock time of the call, in 100-ns units since 1601-01-01 (see qm::toFileTime).
    std::uint64_t time = 0;
    // Event type: 0 information, 1 warning, 2 error, 3 debug; anything else is written as unknown.
    std::uint32_t type = 0;
    // The message in UTF-8, at most kMaxLogTextUnits UTF-16 code units long. The bytes live in
    // the same allocation as the event.
    std::string_view text;
    // Link used by the event queue while the event waits there.
    QM_LOG_EVENT* next = nullptr;
};

// The longest message an event holds, counted in UTF-16 code units.
inline constexpr std::size_t kMaxLogTextUnits = 2047;

struct LogEventDeleter {
    void operator()(QM_LOG_EVENT* event) const noexcept;
};
using LogEventPtr = std::unique_ptr<QM_LOG_EVENT, LogEventDeleter>;

// Allocates an event holding a copy of `text`, cut between characters to kMaxLogTextUnits.
LogEventPtr makeLogEvent(std::uint32_t type, std::uint64_t time, std::string_view text);

}  // namespace qm
