#pragma once

#include <cstdint>
#include <string>

namespace qm::settings {

// The scales on which panels show a level code as decibels. Each has a reference code that
// means 0 dB and a step per code; the direction and output volumes are attenuations (a higher
// code is quieter).
enum class LevelScale {
    DspVolume,        // DSP volume, ALC reference and ALC current volume: 145, 0.375 dB
    DirectionVolume,  // direction volume: 16, 1 dB, attenuation
    OutputVolume,     // analog output volume: 24, 0.5 dB, attenuation
};

// "+ 0.4 dB", "- 52.9 dB" or "0 dB". The product is computed in single precision.
std::string levelLabel(LevelScale scale, std::uint8_t code);

}  // namespace qm::settings
