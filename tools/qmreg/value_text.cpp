#include "tools/qmreg/value_text.h"

#include <array>
#include <cctype>
#include <cinttypes>
#include <limits>

#include "common/text/text.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::qmreg {
namespace {

using registry::Value;
using registry::ValueType;

constexpr std::array<ValueType, 6> kTypes{ValueType::None,   ValueType::Sz,    ValueType::ExpandSz,
                                          ValueType::Binary, ValueType::Dword, ValueType::Qword};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = text::asciiLower(c);
    if (lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return -1;
}

// A decimal or 0x-hexadecimal number no larger than `max`.
std::optional<std::uint64_t> parseNumber(std::string_view text, std::uint64_t max) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t number = 0;
    for (const char c : text) {
        const int digit = base == 16 ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0 || number > (max - static_cast<std::uint64_t>(digit)) / base) {
            return std::nullopt;
        }
        number = number * base + static_cast<std::uint64_t>(digit);
    }
    return number;
}

std::optional<std::vector<std::uint8_t>> parseHexBytes(std::string_view text) {
    if (text.size() >= 4 && text::asciiIEquals(text.substr(0, 4), "hex:")) {
        text.remove_prefix(4);
    }
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == ',' || c == ':') {
            if (high >= 0) {
                return std::nullopt;  // a separator inside a byte
            }
            continue;
        }
        const int digit = hexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) {
        return std::nullopt;
    }
    return bytes;
}

std::uint64_t littleEndian(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t number = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        number = (number << 8) | bytes[i];
    }
    return number;
}

std::string escaped(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            out += text::format("\\x%02X", byte);
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

}  // namespace

std::optional<ValueType> parseValueType(std::string_view text) {
    for (const ValueType type : kTypes) {
        if (text::asciiIEquals(text, registry::valueTypeName(type))) {
            return type;
        }
    }
    return std::nullopt;
}

std::optional<Value> parseValueData(ValueType type, std::string_view text, std::string& error) {
    switch (type) {
        case ValueType::Sz:
        case ValueType::ExpandSz:
            return registry::encodeString(type, text);
        case ValueType::Dword:
            if (auto number = parseNumber(text, std::numeric_limits<std::uint32_t>::max())) {
                return registry::encodeDword(static_cast<std::uint32_t>(*number));
            }
            error = "a REG_DWORD is a number from 0 to 4294967295 (or 0x0 to 0xFFFFFFFF)";
            return std::nullopt;
        case ValueType::Qword:
            if (auto number = parseNumber(text, std::numeric_limits<std::uint64_t>::max())) {
                return registry::encodeQword(*number);
            }
            error = "a REG_QWORD is a number from 0 to 18446744073709551615 (or 0x...)";
            return std::nullopt;
        case ValueType::Binary:
        case ValueType::None:
            if (auto bytes = parseHexBytes(text)) {
                return Value{type, std::move(*bytes)};
            }
            error = "binary data is hexadecimal bytes such as \"01 a0 ff\" or \"01,a0,ff\"";
            return std::nullopt;
    }
    error = "unsupported type";
    return std::nullopt;
}

std::optional<std::string> readableData(const Value& value) {
    switch (value.type) {
        case ValueType::Sz:
        case ValueType::ExpandSz: {
            std::string text;
            if (registry::decodeString(value, text, value.data.size()) != registry::ERROR_SUCCESS ||
                registry::encodeString(value.type, text) != value) {
                return std::nullopt;  // malformed, or more than the text reads back as
            }
            return text;
        }
        case ValueType::Dword:
        case ValueType::Qword: {
            if (value.data.size() != (value.type == ValueType::Dword ? 4u : 8u)) {
                return std::nullopt;
            }
            const std::uint64_t number = littleEndian(value.data);
            return text::format("0x%" PRIx64 " (%" PRIu64 ")", number, number);
        }
        default:
            return std::nullopt;
    }
}

std::string hexBytes(const Value& value, char separator) {
    std::string out;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        if (i > 0) {
            out += separator;
        }
        out += text::format("%02x", value.data[i]);
    }
    return out;
}

std::string queryLine(std::string_view name, const Value& value) {
    std::string data;
    if (auto readable = readableData(value)) {
        data = *readable;
    } else if (value.type == ValueType::Sz || value.type == ValueType::ExpandSz ||
               value.type == ValueType::Dword || value.type == ValueType::Qword) {
        data = "(malformed) " + hexBytes(value, ' ');
    } else {
        data = hexBytes(value, ' ');
    }
    return "    " + (name.empty() ? std::string("(Default)") : std::string(name)) + "    " +
           registry::valueTypeName(value.type) + "    " + data;
}

std::string exportLine(std::string_view name, const Value& value) {
    std::string line = name.empty() ? std::string("@") : escaped(name);
    line += '=';
    line += registry::valueTypeName(value.type);
    line += ':';
    const auto readable = readableData(value);
    if (readable && (value.type == ValueType::Sz || value.type == ValueType::ExpandSz)) {
        line += escaped(*readable);
    } else if (readable && value.type == ValueType::Dword) {
        line += text::format("0x%08" PRIx64, littleEndian(value.data));
    } else if (readable && value.type == ValueType::Qword) {
        line += text::format("0x%016" PRIx64, littleEndian(value.data));
    } else {
        line += "hex:" + hexBytes(value, ',');
    }
    return line;
}

}  // namespace qm::qmreg
