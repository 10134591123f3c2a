#include "service/log/log_format.h"

#include "common/text/text.h"

namespace qm {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The text with its line breaks and control characters made visible (see logEventLine).
void appendVisible(std::string& out, std::string_view text) {
    const std::size_t lastKept = text.find_last_not_of('\n');
    const std::size_t lineEnd = lastKept == std::string_view::npos ? 0 : lastKept + 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (i >= lineEnd || (c >= 0x20 && c != 0x7F) || c == '\t') {
            out.push_back(static_cast<char>(c));
        } else if (c == '\n') {
            out.append("\\n");
        } else if (c == '\r') {
            out.append("\\r");
        } else {
            out.append(text::format("\\x%02x", c));
        }
    }
}

}  // namespace

std::string_view logTypeTag(std::uint32_t type) {
    switch (type) {
        case 0:
            return "<Info>";
        case 1:
            return "<Warning>";
        case 2:
            return "<Error>";
        case 3:
            return "<Debug>";
        default:
            return "<Unknown>";
    }
}

std::string normalizeLogFolder(std::string_view folder) {
    std::string out(text::truncateUtf16Units(folder, kMaxLogFolderUnits));
    if (out.empty() || out.back() != '/') {
        out.push_back('/');
    }
    return out;
}

std::string logFilePath(std::string_view folder, std::string_view name, const LocalDateTime& date) {
    std::string path(folder);
    path.append(name);
    path.append(text::format(" [%4d.%.2d.%.2d].log", date.year, date.month, date.day));
    return std::string(text::truncateUtf16Units(path, kMaxLogPathUnits));
}

std::string logHeaderLine(const LocalDateTime& start) {
    std::string line = text::format(
        " <=====  %02d.%02d.%d %02d:%02d:%02d:%03d ===  Start LOG  =====>", start.day, start.month,
        start.year, start.hour, start.minute, start.second, start.millisecond);
    line.append(kLineEnd);
    line.append(kLineEnd);
    return line;
}

std::string logEventLine(std::uint64_t time, std::uint32_t type, std::string_view text) {
    const LocalDateTime t = fromFileTime(time);
    std::string body =
        text::format("%02d:%02d:%02d:%03d --> ", t.hour, t.minute, t.second, t.millisecond);
    body.append(logTypeTag(type));
    body.push_back(' ');
    appendVisible(body, text);
    // The round trip through UTF-16 turns malformed input into U+FFFD, so the file stays valid
    // UTF-8 whatever a caller passed.
    const std::string_view fitting =
        text::truncateUtf16Units(body, kMaxLogLineUnits - kLineEnd.size());
    std::string line = text::toUtf8(text::toUtf16(fitting));
    line.resize(text::truncateUtf8Bytes(line, kMaxLogLineBytes - kLineEnd.size()).size());
    line.append(kLineEnd);
    return line;
}

}  // namespace qm
