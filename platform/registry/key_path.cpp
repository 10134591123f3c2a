#include "platform/registry/key_path.h"

#include "common/text/text.h"
#include "platform/registry/status.h"

namespace qm::registry {

long splitKeyPath(std::string_view path, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            if (text::utf16Length(part) > kMaxKeyNameUnits) {
                parts.clear();
                return ERROR_INVALID_PARAMETER;
            }
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

std::string foldName(std::string_view name) {
    return text::asciiLowerCopy(name);
}

std::string joinKeyPath(std::string_view head, std::string_view tail) {
    if (head.empty()) {
        return std::string(tail);
    }
    if (tail.empty()) {
        return std::string(head);
    }
    std::string joined(head);
    joined += '\\';
    joined += tail;
    return joined;
}

}  // namespace qm::registry
