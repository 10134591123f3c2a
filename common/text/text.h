#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// Text helpers shared by every program. Strings are UTF-8 in memory; UTF-16 appears only where
// bytes must match what the platform stores (registry values) or where a length limit is counted
// in 16-bit characters.
namespace qm::text {

// UTF-8 to UTF-16 and back. Invalid input sequences become U+FFFD.
std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);

// Number of UTF-16 code units the UTF-8 text would take.
std::size_t utf16Length(std::string_view utf8);

// The longest prefix of `utf8` that is at most `maxBytes` long and ends on a character boundary.
std::string_view truncateUtf8Bytes(std::string_view utf8, std::size_t maxBytes);
// The longest prefix of `utf8` whose UTF-16 form has at most `maxUnits` code units, cut between
// characters (a surrogate pair is never split).
std::string_view truncateUtf16Units(std::string_view utf8, std::size_t maxUnits);

// ASCII-only case folding and comparison, used for product names, serials and switches.
char asciiLower(char c);
std::string asciiLowerCopy(std::string_view s);
std::string asciiUpperCopy(std::string_view s);
bool asciiIEquals(std::string_view a, std::string_view b);
// Three-way comparison after ASCII lower-casing: <0, 0, >0.
int asciiICompare(std::string_view a, std::string_view b);

// printf-style formatting into a std::string of any length.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace qm::text
