#include "studio/audio/cpu_times.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

namespace qm::audio {
namespace {

// Reads the next unsigned number after spaces; false at the end of the line or on anything else.
bool nextNumber(std::string_view& text, std::uint64_t& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (i == text.size() || text[i] == '\n') {
        return false;
    }
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || (end != last && *end != ' ' && *end != '\n')) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

// The start of a small /proc file (they are generated on read and have no size): the lines we
// need come first.
std::optional<std::string> readProcFile(const char* path) {
    constexpr std::size_t kEnough = 64 * 1024;
    std::FILE* file = std::fopen(path, "re");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string text;
    std::array<char, 1024> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        text.append(buffer.data(), n);
        if (text.size() > kEnough) {
            break;
        }
    }
    std::fclose(file);
    return text;
}

}  // namespace

std::optional<SystemCpuTimes> parseProcStat(std::string_view text) {
    if (!text.starts_with("cpu ")) {
        return std::nullopt;
    }
    text.remove_prefix(3);
    // user nice system idle iowait irq softirq steal
    std::array<std::uint64_t, 8> f{};
    std::size_t count = 0;
    while (count < f.size() && nextNumber(text, f[count])) {
        ++count;
    }
    if (count < 4) {
        return std::nullopt;
    }
    SystemCpuTimes times;
    times.idle = f[3] + f[4];
    times.user = f[0] + f[1];
    times.kernel = f[2] + f[5] + f[6] + f[7] + times.idle;
    return times;
}

std::optional<ProcessCpuTimes> parseProcessStat(std::string_view text) {
    const std::size_t close = text.rfind(')');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(close + 1);
    // Field 3 (the state) comes first; utime and stime are fields 14 and 15.
    std::size_t field = 3;
    std::size_t i = 0;
    ProcessCpuTimes times;
    while (field <= 15) {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != '\n') {
            ++end;
        }
        if (end == i) {
            return std::nullopt;
        }
        if (field >= 14) {
            std::string_view number = text.substr(i, end - i);
            std::uint64_t value = 0;
            const auto [ptr, error] =
                std::from_chars(number.data(), number.data() + number.size(), value);
            if (error != std::errc() || ptr != number.data() + number.size()) {
                return std::nullopt;
            }
            (field == 14 ? times.user : times.kernel) = value;
        }
        i = end;
        ++field;
    }
    return times;
}

std::optional<SystemCpuTimes> ProcCpuTimes::systemTimes() {
    const auto text = readProcFile("/proc/stat");
    return text ? parseProcStat(*text) : std::nullopt;
}

std::optional<ProcessCpuTimes> ProcCpuTimes::processTimes() {
    const auto text = readProcFile("/proc/self/stat");
    return text ? parseProcessStat(*text) : std::nullopt;
}

}  // namespace qm::audio
