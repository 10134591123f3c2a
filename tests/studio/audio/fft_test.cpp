#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "studio/audio/fft.h"

namespace qm::audio {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr std::size_t kN = kFftSize;

std::vector<double> randomInput(unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(kN);
    for (double& x : v)
        x = dist(rng);
    return v;
}

TEST(Fft, AgreesWithADirectTransformOnRandomInput) {
    const std::vector<double> input = randomInput(11);
    std::vector<double> re(kN), im(kN);
    ComputeFft(input, re, im);

    // X(b) = sum x(n) e^(+2 pi i n b / N), summed in extended precision with exact angle
    // reduction (n b mod N).
    std::vector<long double> cosTable(kN), sinTable(kN);
    for (std::size_t m = 0; m < kN; ++m) {
        const long double angle = 2.0L * std::numbers::pi_v<long double> * m / kN;
        cosTable[m] = std::cos(angle);
        sinTable[m] = std::sin(angle);
    }
    long double errorSquared = 0, normSquared = 0;
    for (std::size_t b = 0; b < kN; ++b) {
        long double sumRe = 0, sumIm = 0;
        for (std::size_t n = 0; n < kN; ++n) {
            const std::size_t m = (n * b) % kN;
            sumRe += input[n] * cosTable[m];
            sumIm += input[n] * sinTable[m];
        }
        errorSquared += (re[b] - sumRe) * (re[b] - sumRe) + (im[b] - sumIm) * (im[b] - sumIm);
        normSquared += sumRe * sumRe + sumIm * sumIm;
    }
    const double relativeError = static_cast<double>(std::sqrt(errorSquared / normSquared));
    EXPECT_LT(relativeError, 1e-9);
    EXPECT_GT(relativeError, 0.0) << "the recurrence rounds; an exact match would be suspicious";
}

TEST(Fft, PowerAndAmplitudeOfABinCentredTone) {
    const std::size_t bin = 100;
    std::vector<double> input(kN);
    for (std::size_t n = 0; n < kN; ++n) {
        input[n] = 0.5 * std::cos(2 * kPi * static_cast<double>(bin * n) / kN);
    }
    std::vector<double> re(kN), im(kN), power(kN), amplitude(kN);
    ComputeFft(input, re, im);
    ComputePower(re, im, power);
    ComputeAmplitude(re, im, amplitude);
    // |X(b)| = A N / 2 = 1024.
    EXPECT_NEAR(power[bin], 1024.0 * 1024.0, 1e-6);
    EXPECT_NEAR(amplitude[bin], 0.5, 1e-9);
    EXPECT_NEAR(amplitude[kN - bin], 0.5, 1e-9);
    EXPECT_LT(amplitude[bin + 1], 1e-9);
    for (std::size_t b : {std::size_t{0}, bin, std::size_t{777}}) {
        EXPECT_EQ(power[b], re[b] * re[b] + im[b] * im[b]);
    }
}

void expectInvalidArgument(const std::function<void()>& call) {
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid argument");
    }
}

TEST(Fft, MissingOrMisfitBuffersAreRejected) {
    std::vector<double> a(kN), b(kN), c(kN), shorter(kN - 1);
    const std::span<double> none;
    expectInvalidArgument([&] { ComputeFft(none, b, c); });
    expectInvalidArgument([&] { ComputeFft(a, none, c); });
    expectInvalidArgument([&] { ComputeFft(a, b, none); });
    expectInvalidArgument([&] { ComputeFft(a, shorter, c); });
    expectInvalidArgument([&] { ComputeFft(a, b, b); });
    expectInvalidArgument([&] { ComputeFft(a, a, c); });
    expectInvalidArgument([&] { ComputePower(none, b, c); });
    expectInvalidArgument([&] { ComputePower(a, none, c); });
    expectInvalidArgument([&] { ComputePower(a, b, none); });
    expectInvalidArgument([&] { ComputeAmplitude(a, b, shorter); });
    EXPECT_NO_THROW(ComputeFft(a, b, c));
    EXPECT_NO_THROW(ComputePower(b, c, b)) << "power may replace the real part in place";
}

}  // namespace
}  // namespace qm::audio
