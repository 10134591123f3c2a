#include "studio/audio/fft_plan.h"

#include <cmath>
#include <numbers>

namespace qm::audio {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

void fillBitReversed(FftPlan& plan) {
    for (std::size_t i = 0; i < kFftSize; ++i) {
        std::size_t reversed = 0;
        for (std::size_t bit = 0; bit < kFftStages; ++bit) {
            reversed |= ((i >> bit) & 1U) << (kFftStages - 1 - bit);
        }
        plan.bitReversed[i] = static_cast<std::uint16_t>(reversed);
    }
}

// Every block of a stage walks the same twiddle sequence, so one copy per stage serves them all.
// The values are those of the three-term recurrence w(k) = 2 cos(d) w(k-1) - w(k-2), started
// from the angles -2d and -d, rounding included: the first twiddle of a stage is (close to) 1.
void fillTwiddles(FftPlan& plan) {
    plan.twiddleReal.resize(kFftSize - 1);
    plan.twiddleImaginary.resize(kFftSize - 1);
    for (std::size_t half = 1; half < kFftSize; half *= 2) {
        const double delta = kTwoPi / static_cast<double>(2 * half);
        const double twoCos = 2.0 * std::cos(delta);
        double real2 = std::cos(-2.0 * delta);
        double real1 = std::cos(-delta);
        double imaginary2 = std::sin(-2.0 * delta);
        double imaginary1 = std::sin(-delta);
        for (std::size_t n = 0; n < half; ++n) {
            const double real0 = twoCos * real1 - real2;
            real2 = real1;
            real1 = real0;
            const double imaginary0 = twoCos * imaginary1 - imaginary2;
            imaginary2 = imaginary1;
            imaginary1 = imaginary0;
            plan.twiddleReal[half - 1 + n] = real0;
            plan.twiddleImaginary[half - 1 + n] = imaginary0;
        }
    }
    plan.unitFirstTwiddle = plan.twiddleReal[0] == 1.0 && plan.twiddleImaginary[0] == 0.0;
}

FftPlan makePlan() {
    FftPlan plan;
    fillBitReversed(plan);
    fillTwiddles(plan);
    return plan;
}

}  // namespace

const FftPlan& fftPlan() {
    static const FftPlan plan = makePlan();
    return plan;
}

}  // namespace qm::audio
