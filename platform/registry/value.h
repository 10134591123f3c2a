#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Hives, value types and the byte forms in which values are stored. Values keep exactly the bytes
// the Windows registry would hold (strings as UTF-16LE with their terminator, numbers
// little-endian), so every rule that checks a stored value's type, size or terminator means the
// same here.
namespace qm::registry {

enum class Hive {
    LocalMachine,  // HKEY_LOCAL_MACHINE: the machine hive, shared by the service and the studio
    CurrentUser,   // HKEY_CURRENT_USER: the hive of the user running the process
    ClassesRoot,   // HKEY_CLASSES_ROOT: the machine hive's SOFTWARE\Classes key
    Users,         // HKEY_USERS: one subkey per user hive the store knows
};

// Any 32-bit number is a valid type; these are the ones the system reads and writes.
enum class ValueType : std::uint32_t {
    None = 0,      // REG_NONE
    Sz = 1,        // REG_SZ
    ExpandSz = 2,  // REG_EXPAND_SZ (stored and read as is; nothing expands it)
    Binary = 3,    // REG_BINARY
    Dword = 4,     // REG_DWORD, little-endian
    Qword = 11,    // REG_QWORD, little-endian
};

enum class Access { Read, ReadWrite };

struct Value {
    ValueType type = ValueType::None;
    std::vector<std::uint8_t> data;

    friend bool operator==(const Value&, const Value&) = default;
};

// "REG_SZ", "REG_DWORD", ...; other types as "REG_TYPE_<n>".
std::string valueTypeName(ValueType type);

// UTF-8 text as UTF-16LE with a two-byte terminator, under the given type (REG_SZ or
// REG_EXPAND_SZ in practice). The empty string gives the two terminator bytes.
Value encodeString(ValueType type, std::string_view utf8);
Value encodeDword(std::uint32_t number);
Value encodeQword(std::uint64_t number);

// UTF-16LE bytes (an even count) to UTF-8, unchanged otherwise: terminators stay in the result.
std::string utf16leToUtf8(const std::uint8_t* bytes, std::size_t count);

}  // namespace qm::registry
