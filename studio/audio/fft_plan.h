#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "studio/audio/analysis_sizes.h"

// What the transform precomputes once per process: the bit-reversed index order and the twiddle
// factors of every stage. Internal to the transform.
namespace qm::audio {

struct FftPlan {
    // Input index that lands at each position before the first stage (12-bit reversal).
    std::array<std::uint16_t, kFftSize> bitReversed{};
    // Twiddles of the stage whose butterflies are `half` apart, at offset half - 1
    // (1 + 2 + ... + 2048 = 4095 values each).
    std::vector<double> twiddleReal;
    std::vector<double> twiddleImaginary;
    // The first stage's only twiddle is exactly 1 + 0i (true wherever cos and sin round
    // correctly), which lets that stage reduce to sums and differences.
    bool unitFirstTwiddle = false;
};

// The process-wide plan, built on first use (thread-safe).
const FftPlan& fftPlan();

}  // namespace qm::audio
