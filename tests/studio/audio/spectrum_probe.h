#pragma once

#include <array>
#include <cmath>
#include <numbers>
#include <span>

#include "studio/audio/analysis_sizes.h"
#include "studio/audio/analysis_state.h"

namespace qm::testing {

// A continuous sine across blocks: block k holds samples k * 480 ... k * 480 + 479.
inline std::array<float, audio::kBlockSize> toneBlock(double frequency, std::size_t blockIndex,
                                                      double amplitude = 0.5) {
    std::array<float, audio::kBlockSize> block{};
    for (std::size_t i = 0; i < audio::kBlockSize; ++i) {
        const double t =
            static_cast<double>(blockIndex * audio::kBlockSize + i) / audio::kSampleRate;
        block[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * frequency * t));
    }
    return block;
}

// The energy of the displayed spectrum between two frequencies, in dB (-300 for none).
inline double bandEnergyDb(const audio::AnalysisState& state, double low, double high) {
    double sum = 0.0;
    state.readSpectrum([&](std::span<const double, audio::kFftSize> spectrum) {
        const auto first = static_cast<std::size_t>(low * audio::kFftSize / audio::kSampleRate);
        const auto last = static_cast<std::size_t>(high * audio::kFftSize / audio::kSampleRate);
        for (std::size_t bin = first; bin < last && bin < audio::kFftSize / 2; ++bin) {
            sum += spectrum[bin];
        }
    });
    return sum > 0.0 ? 10.0 * std::log10(sum) : -300.0;
}

}  // namespace qm::testing
