#include "studio/audio/fft.h"

#include <cmath>
#include <stdexcept>

#include "studio/audio/fft_plan.h"
#include "studio/audio/fft_stages.h"

namespace qm::audio {
namespace {

bool present(std::span<const double> buffer) {
    return buffer.data() != nullptr && buffer.size() == kFftSize;
}

bool overlap(std::span<const double> a, std::span<const double> b) {
    return a.data() < b.data() + b.size() && b.data() < a.data() + a.size();
}

void requireBuffers(std::span<const double> a, std::span<const double> b,
                    std::span<const double> c) {
    if (!present(a) || !present(b) || !present(c)) {
        throw std::invalid_argument("Invalid argument");
    }
}

}  // namespace

void ComputeFft(std::span<const double> input, std::span<double> real,
                std::span<double> imaginary) {
    requireBuffers(input, real, imaginary);
    if (overlap(real, imaginary) || overlap(input, real) || overlap(input, imaginary)) {
        throw std::invalid_argument("Invalid argument");
    }
    const FftPlan& plan = fftPlan();
    double* re = real.data();
    double* im = imaginary.data();
    // Stage 1 with the load, stage 2 alone, then the stages 4 and 8, 16 and 32 ... 1024 and 2048
    // in pairs.
    loadAndFirstStage(plan, input.data(), re, im);
    runStage(plan, 2, re, im);
    for (std::size_t half = 4; half < kFftSize; half *= 4) {
        runStagePair(plan, half, re, im);
    }
}

void ComputePower(std::span<const double> real, std::span<const double> imaginary,
                  std::span<double> power) {
    requireBuffers(real, imaginary, power);
    for (std::size_t b = 0; b < kFftSize; ++b) {
        power[b] = real[b] * real[b] + imaginary[b] * imaginary[b];
    }
}

void ComputeAmplitude(std::span<const double> real, std::span<const double> imaginary,
                      std::span<double> amplitude) {
    requireBuffers(real, imaginary, amplitude);
    constexpr double kScale = 2.0 / static_cast<double>(kFftSize);
    for (std::size_t b = 0; b < kFftSize; ++b) {
        amplitude[b] = kScale * std::sqrt(real[b] * real[b] + imaginary[b] * imaginary[b]);
    }
}

}  // namespace qm::audio
