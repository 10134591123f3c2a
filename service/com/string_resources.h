#pragma once

#include <string_view>

// The program's user-visible texts, addressed by number.
namespace qm::com {

inline constexpr unsigned IDS_USAGE = 101;
inline constexpr unsigned IDS_SERVICE_DESCRIPTION = 102;
inline constexpr unsigned IDS_SERVICE_NAME = 103;

// The text of a string resource; empty for a number that has none.
std::string_view loadString(unsigned id);

}  // namespace qm::com
