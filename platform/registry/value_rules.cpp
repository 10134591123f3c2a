#include "platform/registry/value_rules.h"

#include "platform/registry/status.h"

namespace qm::registry {

long decodeString(const Value& value, std::string& text, std::size_t maxBytes) {
    text.clear();
    const std::vector<std::uint8_t>& bytes = value.data;
    if (bytes.size() > maxBytes) {
        return ERROR_MORE_DATA;
    }
    if (value.type != ValueType::Sz && value.type != ValueType::ExpandSz) {
        return ERROR_INVALID_DATA;
    }
    if (bytes.size() % 2 != 0) {
        return ERROR_INVALID_DATA;
    }
    if (!bytes.empty() && (bytes[bytes.size() - 2] != 0 || bytes[bytes.size() - 1] != 0)) {
        return ERROR_INVALID_DATA;
    }
    std::size_t units = 0;
    while (units * 2 < bytes.size() && (bytes[units * 2] != 0 || bytes[units * 2 + 1] != 0)) {
        ++units;
    }
    text = utf16leToUtf8(bytes.data(), units * 2);
    return ERROR_SUCCESS;
}

long queryString(const Key& key, std::string_view name, std::string& text, std::size_t maxBytes) {
    text.clear();
    Value value;
    if (const long status = key.queryValue(name, value); status != ERROR_SUCCESS) {
        return status;
    }
    return decodeString(value, text, maxBytes);
}

std::optional<std::string> readString(const Key& key, std::string_view name, std::size_t maxBytes) {
    std::string text;
    if (queryString(key, name, text, maxBytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return text;
}

long queryDword(const Key& key, std::string_view name, std::uint32_t& number) {
    number = 0;
    Value value;
    if (const long status = key.queryValue(name, value); status != ERROR_SUCCESS) {
        return status;
    }
    if (value.type != ValueType::Dword || value.data.size() != 4) {
        return ERROR_INVALID_DATA;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        number |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
    }
    return ERROR_SUCCESS;
}

std::optional<std::uint32_t> readDword(const Key& key, std::string_view name) {
    std::uint32_t number = 0;
    if (queryDword(key, name, number) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return number;
}

long writeString(const Key& key, std::string_view name, std::string_view text) {
    return key.setValue(name, encodeString(ValueType::Sz, text));
}

long writeDword(const Key& key, std::string_view name, std::uint32_t number) {
    return key.setValue(name, encodeDword(number));
}

}  // namespace qm::registry
