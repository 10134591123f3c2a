#pragma once

#include <cstdint>

// The few value encodings that belong to the service itself; every other byte is opaque.
namespace qm::settings {

// DSP volume presets of SetVolumeNorm and SetVolumeMute.
inline constexpr std::uint8_t kVolumeNormal = 0x91;  // 145, the normal level
inline constexpr std::uint8_t kVolumeMute = 0x04;

// Equaliser commands address bands 1 to 5; band number 0 addresses the mask instead.
inline constexpr int kFirstBand = 1;
inline constexpr int kLastBand = 5;
constexpr bool isBandNumber(int band) {
    return band >= kFirstBand && band <= kLastBand;
}

// Bit b of EQ_NOTCH and EQ_POWER stands for band b + 1.
constexpr std::uint8_t bandMaskBit(int band) {
    return isBandNumber(band) ? static_cast<std::uint8_t>(1u << (band - 1)) : 0;
}

// The band mode byte that Set_EQ_BAND_WIDTH builds: width code (100, 200, 300 Hz → 1, 2, 3)
// times 16 plus frequency code (500 … 2500 Hz in steps of 250 → 1 … 9). Any other width or
// frequency gives 0.
std::uint8_t bandModeByte(int frequencyHz, int widthHz);

}  // namespace qm::settings
