#include "platform/registry/value.h"

#include "common/text/text.h"

namespace qm::registry {

std::string valueTypeName(ValueType type) {
    switch (type) {
        case ValueType::None:
            return "REG_NONE";
        case ValueType::Sz:
            return "REG_SZ";
        case ValueType::ExpandSz:
            return "REG_EXPAND_SZ";
        case ValueType::Binary:
            return "REG_BINARY";
        case ValueType::Dword:
            return "REG_DWORD";
        case ValueType::Qword:
            return "REG_QWORD";
    }
    return "REG_TYPE_" + std::to_string(static_cast<std::uint32_t>(type));
}

Value encodeString(ValueType type, std::string_view utf8) {
    const std::u16string wide = text::toUtf16(utf8);
    Value value{type, {}};
    value.data.reserve((wide.size() + 1) * 2);
    for (const char16_t unit : wide) {
        value.data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        value.data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    value.data.push_back(0);
    value.data.push_back(0);
    return value;
}

Value encodeDword(std::uint32_t number) {
    Value value{ValueType::Dword, std::vector<std::uint8_t>(4)};
    for (std::size_t i = 0; i < 4; ++i) {
        value.data[i] = static_cast<std::uint8_t>(number >> (8 * i));
    }
    return value;
}

Value encodeQword(std::uint64_t number) {
    Value value{ValueType::Qword, std::vector<std::uint8_t>(8)};
    for (std::size_t i = 0; i < 8; ++i) {
        value.data[i] = static_cast<std::uint8_t>(number >> (8 * i));
    }
    return value;
}

std::string utf16leToUtf8(const std::uint8_t* bytes, std::size_t count) {
    std::u16string wide;
    wide.reserve(count / 2);
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        wide.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text::toUtf8(wide);
}

}  // namespace qm::registry
