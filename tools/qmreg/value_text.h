#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/value.h"

// Values as text: parsed from the command line, shown by `query`, written by `export`.
namespace qm::qmreg {

// "REG_SZ", "REG_EXPAND_SZ", "REG_DWORD", "REG_QWORD", "REG_BINARY", "REG_NONE" in any case.
std::optional<registry::ValueType> parseValueType(std::string_view text);

// The value of the given type that `text` describes:
//   REG_SZ, REG_EXPAND_SZ  the text itself (stored as UTF-16LE with its terminator)
//   REG_DWORD, REG_QWORD   a decimal number or 0x and hexadecimal digits, within range
//   REG_BINARY, REG_NONE   hexadecimal bytes, optionally separated by blanks, commas or colons
//                          and optionally after "hex:"; "" is no bytes
// Nothing, with the reason in `error`, when the text doesn't fit the type.
std::optional<registry::Value> parseValueData(registry::ValueType type, std::string_view text,
                                              std::string& error);

// The data as text when it is what its type promises: the string of a REG_SZ or REG_EXPAND_SZ
// that is terminated and holds nothing past its terminator, the number of a 4-byte REG_DWORD or
// 8-byte REG_QWORD (as "0x96 (150)"). Nothing for binary data and for malformed values.
std::optional<std::string> readableData(const registry::Value& value);

// Bytes as "01 02 ff" (query) and "01,02,ff" (export).
std::string hexBytes(const registry::Value& value, char separator);

// One line of `query`: "    name    REG_SZ    text"; the default value shows as "(Default)",
// malformed or binary data as hexadecimal bytes.
std::string queryLine(std::string_view name, const registry::Value& value);

// One line of `export`: "name"=REG_SZ:"text", @ for the default value, numbers as
// REG_DWORD:0x00000096, anything else as <type>:hex:01,02. Quotes, backslashes and control
// characters in names and strings are escaped (\", \\, \xHH).
std::string exportLine(std::string_view name, const registry::Value& value);

}  // namespace qm::qmreg
