#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/key.h"
#include "platform/registry/value.h"

// The rules by which every part of the system reads its settings: a value of the wrong type or
// form counts as missing, so the caller's default applies.
namespace qm::registry {

// The buffer every string setting is read into: 260 UTF-16 characters with the terminator.
inline constexpr std::size_t kMaxStringBytes = 520;

// A stored string is valid when its type is REG_SZ or REG_EXPAND_SZ, its length is even and at
// most `maxBytes`, and it is empty or ends with a zero character. The text is cut at its first
// zero character (the terminator, or an earlier one, as a reader of the C string would) and
// returned as UTF-8. REG_EXPAND_SZ text is returned as stored, without expansion.
// Returns ERROR_SUCCESS, ERROR_MORE_DATA (longer than `maxBytes`) or ERROR_INVALID_DATA.
[[nodiscard]] long decodeString(const Value& value, std::string& text,
                                std::size_t maxBytes = kMaxStringBytes);

// Reads a string value: the status of the read (e.g. ERROR_FILE_NOT_FOUND) or of decodeString.
[[nodiscard]] long queryString(const Key& key, std::string_view name, std::string& text,
                               std::size_t maxBytes = kMaxStringBytes);
std::optional<std::string> readString(const Key& key, std::string_view name,
                                      std::size_t maxBytes = kMaxStringBytes);

// A number only from a REG_DWORD of exactly 4 bytes; ERROR_INVALID_DATA otherwise.
[[nodiscard]] long queryDword(const Key& key, std::string_view name, std::uint32_t& number);
std::optional<std::uint32_t> readDword(const Key& key, std::string_view name);

// REG_SZ with its terminator, and REG_DWORD.
[[nodiscard]] long writeString(const Key& key, std::string_view name, std::string_view text);
[[nodiscard]] long writeDword(const Key& key, std::string_view name, std::uint32_t number);

}  // namespace qm::registry
