#include "studio/shell/service_log_tail.h"

#include <cstdio>
#include <fstream>
#include <string_view>

namespace qm::studio {
namespace {

constexpr std::streamoff kTailBytes = 64 * 1024;
constexpr std::string_view kErrorTag = "<Error>";
constexpr std::string_view kArrow = " --> ";

}  // namespace

std::string lastServiceLogError(const std::string& folder, const std::string& name,
                                const LocalDateTime& day) {
    char date[32];
    std::snprintf(date, sizeof date, " [%4d.%.2d.%.2d].log", day.year, day.month, day.day);
    std::string path = folder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name + date;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(size > kTailBytes ? size - kTailBytes : 0);
    std::string line;
    std::string last;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find(kErrorTag) != std::string::npos) {
            last = line;
        }
    }
    // "hh:mm:ss:mmm --> <Error> text": the text.
    if (const auto arrow = last.find(kArrow); arrow != std::string::npos) {
        last.erase(0, arrow + kArrow.size());
    }
    if (last.starts_with(kErrorTag)) {
        last.erase(0, kErrorTag.size());
    }
    while (!last.empty() && last.front() == ' ') {
        last.erase(0, 1);
    }
    for (char& c : last) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return last;
}

}  // namespace qm::studio
