#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qm::sdk {

using Sha1Digest = std::array<std::uint8_t, 20>;

// SHA-1 of a byte string; used only to derive name-based identifiers, never for security.
Sha1Digest sha1(std::string_view data);

}  // namespace qm::sdk
