#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A microphone's serial number as a name in the file system and in the settings store.
//
// The serial is what the bridge reports: data from a device, which may hold '/', '\', "..",
// control characters or anything else. The microphone's log file and its cache key are both
// named with this one escaping:
//
// - the bytes 0x21 to 0x7E stand for themselves, except '%', '/', '\', '~' and a '.' in the
//   first place;
// - every other byte (controls, the blank, DEL, the bytes of non-ASCII characters) and those
//   five become "%XX", the byte in two upper-case hexadecimal digits.
//
// So "SN1001" stays "SN1001", "../escaped" becomes "%2E.%2Fescaped" and "a\b" becomes "a%5Cb".
// A name is one path part and one key name: it holds no separator, is never "." or "..", never
// starts a hidden file and is printable ASCII. The empty serial is named "%".
//
// A name is at most kMaxSerialNameLength characters. A serial whose escaped form is longer (a
// USB serial has at most 126 characters, so only one full of escaped bytes can be) is named by
// the first part of that form followed by '~' and eight hexadecimal digits of a hash of the whole
// serial; such a name is no longer reversible.
namespace qm::settings {

inline constexpr std::size_t kMaxSerialNameLength = 200;

std::string serialName(std::string_view serial);

// The serial back from its name; nothing for a name that serialName cannot have made (a shortened
// one, a malformed escape, or a byte that should have been escaped).
std::optional<std::string> serialFromName(std::string_view name);

}  // namespace qm::settings
