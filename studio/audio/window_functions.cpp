#include "studio/audio/window_functions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace qm::audio {
namespace {

constexpr double kN = static_cast<double>(kFftSize);
constexpr double kCosineDivisor = kN - 1.0;  // the cosine windows divide by N - 1
constexpr std::size_t kHalf = kFftSize / 2;

// The last Blackman-Harris coefficient is the single-precision 0.01168 widened to double.
constexpr double kBlackmanHarrisA3 = static_cast<double>(0.01168F);

constexpr std::array<std::string_view, kWindowFunctionCount> kNames = {
    "Rectangular",     "Bartlett", "Hamming",          "Hanning",          "Blackman",
    "Blackman-Harris", "Welch",    "Gaussian (a=2.5)", "Gaussian (a=3.5)", "Gaussian (a=4.5)",
};

bool isShaping(int index) {
    return index > 0 && index < kWindowFunctionCount;
}

double bartlett(std::size_t n) {
    if (n < kHalf) {
        // The rising half is computed in single precision.
        return static_cast<float>(n) * static_cast<float>(2.0 / kN);
    }
    return 1.0 - static_cast<double>(n - kHalf) / static_cast<double>(kHalf);
}

double cosineTerm(double multiple, std::size_t n) {
    return std::cos(multiple * std::numbers::pi * static_cast<double>(n) / kCosineDivisor);
}

double gaussian(double exponent, std::size_t n) {
    const double d = static_cast<double>(n) / kN - 0.5;
    return std::exp(-exponent * d * d);
}

}  // namespace

std::string_view windowFunctionName(int index) {
    if (index < 0 || index >= kWindowFunctionCount) {
        return {};
    }
    return kNames[static_cast<std::size_t>(index)];
}

double windowCoefficient(int index, std::size_t n) {
    switch (index) {
        case 1:
            return bartlett(n);
        case 2:
            return 0.54 - 0.46 * cosineTerm(2.0, n);
        case 3:
            return 0.5 - 0.5 * cosineTerm(2.0, n);
        case 4:
            return 0.42 - 0.5 * cosineTerm(2.0, n) + 0.08 * cosineTerm(4.0, n);
        case 5:
            return 0.35875 - 0.48829 * cosineTerm(2.0, n) + 0.14128 * cosineTerm(4.0, n) -
                   kBlackmanHarrisA3 * cosineTerm(6.0, n);
        case 6: {
            const double r = static_cast<double>(n) / kN;
            return 4.0 * r * (1.0 - r);
        }
        case 7:
            return gaussian(12.5, n);  // 2a^2, a = 2.5
        case 8:
            return gaussian(24.5, n);  // a = 3.5
        case 9:
            return gaussian(40.5, n);  // a = 4.5
        default:
            return 1.0;
    }
}

void ApplyWindow(int index, std::span<double, kFftSize> buffer) {
    if (!isShaping(index)) {
        return;
    }
    for (std::size_t n = 0; n < kFftSize; ++n) {
        buffer[n] *= windowCoefficient(index, n);
    }
}

WindowTable::WindowTable() : coefficients_(kFftSize, 1.0) {}

void WindowTable::select(int index) {
    if (index == index_) {
        return;
    }
    for (std::size_t n = 0; n < kFftSize; ++n) {
        coefficients_[n] = windowCoefficient(index, n);
    }
    index_ = index;
}

void WindowTable::copyWindowed(int index, std::span<const double, kFftSize> in,
                               std::span<double, kFftSize> out) {
    if (!isShaping(index)) {
        std::copy(in.begin(), in.end(), out.begin());
        return;
    }
    select(index);
    const double* w = coefficients_.data();
    for (std::size_t n = 0; n < kFftSize; ++n) {
        out[n] = in[n] * w[n];
    }
}

}  // namespace qm::audio
