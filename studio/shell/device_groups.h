#pragma once

#include <cstdint>
#include <string_view>

namespace qm::studio {

// The list group of a microphone by its product name (ASCII case-insensitive): 1 for
// "CP2114 USB-Audio Bridge", 2 Alder, 3 Birch, 4 Cedar, 5 Larch, 6 Rowan, 0 for any other name.
int deviceGroupOf(std::string_view productName);

// The header of a group: its product name; empty for group 0 (any other product).
std::string_view deviceGroupHeader(int groupId);

inline constexpr int kDeviceGroupCount = 7;  // groups 0 to 6

// The control-panel tabs a product has: bit n enables tab n (0 ALC, 1 filters, 2 equaliser,
// 3 direction, 4 output volume, 5 input gain). 7 for any other product.
std::uint32_t panelMaskOf(std::string_view productName);

}  // namespace qm::studio
