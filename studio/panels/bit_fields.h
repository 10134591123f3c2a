#pragma once

#include <cstdint>

// Fields of the panels' multi-flag bytes: `width` bits starting at bit `shift` (bit 0 = least
// significant). Bits outside the field are kept as they are.
namespace qm::studio::panels {

constexpr int fieldOf(std::uint8_t byte, int shift, int width) {
    return (byte >> shift) & ((1 << width) - 1);
}

constexpr std::uint8_t withField(std::uint8_t byte, int shift, int width, int value) {
    const int mask = ((1 << width) - 1) << shift;
    return static_cast<std::uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

constexpr bool bitOf(std::uint8_t byte, int bit) {
    return fieldOf(byte, bit, 1) != 0;
}

constexpr std::uint8_t withBit(std::uint8_t byte, int bit, bool on) {
    return withField(byte, bit, 1, on ? 1 : 0);
}

}  // namespace qm::studio::panels
