#include "common/ipc/bus_names.h"

namespace qm::ipc {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isPlainCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string escapePathElement(std::string_view serial) {
    std::string element;
    element.reserve(serial.size());
    for (const char c : serial) {
        if (isPlainCharacter(c)) {
            element.push_back(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            element.push_back('_');
            element.push_back(kHexDigits[byte >> 4]);
            element.push_back(kHexDigits[byte & 0x0F]);
        }
    }
    return element;
}

std::optional<std::string> unescapePathElement(std::string_view element) {
    std::string serial;
    serial.reserve(element.size());
    for (std::size_t i = 0; i < element.size(); ++i) {
        const char c = element[i];
        if (isPlainCharacter(c)) {
            serial.push_back(c);
            continue;
        }
        if (c != '_' || i + 2 >= element.size()) {
            return std::nullopt;
        }
        const int high = hexValue(element[i + 1]);
        const int low = hexValue(element[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        serial.push_back(static_cast<char>((high << 4) | low));
        i += 2;
    }
    return serial;
}

std::string devicePath(std::string_view serial, unsigned ordinal) {
    std::string path = std::string(kDevicePathPrefix) + "/" + escapePathElement(serial);
    if (serial.empty() || ordinal > 1) {
        path += "_n" + std::to_string(ordinal);
    }
    return path;
}

std::string clientSinkPath(unsigned long long number) {
    return std::string(kClientSinkPathPrefix) + "/" + std::to_string(number);
}

}  // namespace qm::ipc
