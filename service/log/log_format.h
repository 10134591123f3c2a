#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/runtime/clock.h"

// The text of the log files: file names, the header line and one line per event.
namespace qm {

// Limits of the file layout, counted in UTF-16 code units where they say "units".
inline constexpr std::size_t kMaxLogFolderUnits = 258;  // before the separator is added
inline constexpr std::size_t kMaxLogPathUnits = 259;
inline constexpr std::size_t kMaxLogLineUnits = 2047;  // a whole line with its CR LF
inline constexpr std::size_t kMaxLogLineBytes = 4094;  // the same line in UTF-8

// The byte order mark every log file begins with.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// "<Info>", "<Warning>", "<Error>", "<Debug>", or "<Unknown>" for any other type.
std::string_view logTypeTag(std::uint32_t type);

// The folder cut to kMaxLogFolderUnits and ending with '/'.
std::string normalizeLogFolder(std::string_view folder);

// folder + name + " [yyyy.mm.dd].log", cut to kMaxLogPathUnits.
std::string logFilePath(std::string_view folder, std::string_view name, const LocalDateTime& date);

// The line that marks a start of the writer, followed by an empty line.
std::string logHeaderLine(const LocalDateTime& start);

// "hh:mm:ss:mmm --> <Tag> text" and CR LF, in valid UTF-8. The text may come from a client or a
// device, so nothing in it can start a line of its own: a line feed or carriage return inside it
// is written as "\n" or "\r", and any other control character but the tab as "\xhh". Line feeds
// that end the text (the service ends a few of its own lines with one) stay. A line longer than
// kMaxLogLineUnits or kMaxLogLineBytes is cut between characters so that it still ends with
// CR LF and the next line starts on a line of its own.
std::string logEventLine(std::uint64_t time, std::uint32_t type, std::string_view text);

}  // namespace qm
