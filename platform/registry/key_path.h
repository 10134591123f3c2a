#pragma once

#include <string>
#include <string_view>
#include <vector>

// Key paths and the comparison form of key and value names.
//
// Names compare without regard to ASCII case ("Devices" and "DEVICES" are one key) and keep the
// spelling they were first created with. Letters outside ASCII compare exactly: "É" and "é" are
// two names. (Windows folds those too; the names this system uses are ASCII, and an ASCII-only
// fold gives every process the same answer whatever its locale.)
namespace qm::registry {

// Longest key name part, in UTF-16 units, as on Windows.
inline constexpr std::size_t kMaxKeyNameUnits = 255;

// Splits "SOFTWARE\QUILLMERE\qmCore" into its parts. Empty parts (from leading, trailing or
// doubled backslashes) are skipped, so "" and "\" address the starting key itself. Returns
// ERROR_INVALID_PARAMETER when a part is longer than kMaxKeyNameUnits, else ERROR_SUCCESS.
[[nodiscard]] long splitKeyPath(std::string_view path, std::vector<std::string>& parts);

// The form in which names are compared: ASCII letters lower-cased, every other byte unchanged.
std::string foldName(std::string_view name);

// Joins two key paths with one backslash; either may be empty.
std::string joinKeyPath(std::string_view head, std::string_view tail);

}  // namespace qm::registry
