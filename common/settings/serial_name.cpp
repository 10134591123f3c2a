#include "common/settings/serial_name.h"

#include <cstdint>

namespace qm::settings {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kHashLength = 9;  // '~' and eight digits
constexpr std::string_view kEmptySerialName = "%";

bool standsForItself(unsigned char byte, bool first) {
    if (byte < 0x21 || byte > 0x7E)
        return false;
    if (first && byte == '.')
        return false;
    return byte != '%' && byte != '/' && byte != '\\' && byte != '~';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::uint32_t fnv1a(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

std::string serialName(std::string_view serial) {
    if (serial.empty())
        return std::string(kEmptySerialName);
    std::string name;
    for (std::size_t i = 0; i < serial.size(); ++i) {
        const auto byte = static_cast<unsigned char>(serial[i]);
        if (standsForItself(byte, i == 0)) {
            name.push_back(static_cast<char>(byte));
        } else {
            name.push_back('%');
            name.push_back(kHexDigits[byte >> 4]);
            name.push_back(kHexDigits[byte & 0x0F]);
        }
    }
    if (name.size() <= kMaxSerialNameLength)
        return name;

    // Cut between escapes, then add the hash that keeps long serials apart.
    std::size_t keep = kMaxSerialNameLength - kHashLength;
    if (name[keep - 1] == '%')
        keep -= 1;
    else if (name[keep - 2] == '%')
        keep -= 2;
    name.resize(keep);
    const std::uint32_t hash = fnv1a(serial);
    name.push_back('~');
    for (int shift = 28; shift >= 0; shift -= 4)
        name.push_back(kHexDigits[(hash >> shift) & 0x0F]);
    return name;
}

std::optional<std::string> serialFromName(std::string_view name) {
    if (name == kEmptySerialName)
        return std::string();
    if (name.empty() || name.size() > kMaxSerialNameLength)
        return std::nullopt;
    std::string serial;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte != '%') {
            if (!standsForItself(byte, serial.empty()))
                return std::nullopt;
            serial.push_back(static_cast<char>(byte));
            continue;
        }
        if (i + 2 >= name.size())
            return std::nullopt;
        const int high = hexValue(name[i + 1]);
        const int low = hexValue(name[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        const auto decoded = static_cast<unsigned char>(high * 16 + low);
        if (standsForItself(decoded, serial.empty()))
            return std::nullopt;  // a byte that stands for itself is never escaped
        serial.push_back(static_cast<char>(decoded));
        i += 2;
    }
    return serial;
}

}  // namespace qm::settings
