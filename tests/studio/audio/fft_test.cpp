#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "studio/audio/fft.h"
#include "studio/audio/frequency_axis.h"

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

// The transform exactly as the analysis defines it, one stage and one block at a time, with the
// twiddle recurrence restarted for every block.
void literalTransform(const std::vector<double>& input, std::vector<double>& re,
                      std::vector<double>& im) {
    re.assign(kN, 0.0);
    im.assign(kN, 0.0);
    for (std::size_t i = 0; i < kN; ++i) {
        std::size_t r = 0;
        for (int bit = 0; bit < 12; ++bit)
            r |= ((i >> bit) & 1U) << (11 - bit);
        re[r] = input[i];
    }
    for (std::size_t block = 2; block <= kN; block *= 2) {
        const double delta = 2 * kPi / static_cast<double>(block);
        const double w = 2 * std::cos(delta);
        for (std::size_t i = 0; i < kN; i += block) {
            double ar2 = std::cos(-2 * delta), ar1 = std::cos(-delta);
            double ai2 = std::sin(-2 * delta), ai1 = std::sin(-delta);
            for (std::size_t j = i; j < i + block / 2; ++j) {
                const double ar0 = w * ar1 - ar2;
                ar2 = ar1;
                ar1 = ar0;
                const double ai0 = w * ai1 - ai2;
                ai2 = ai1;
                ai1 = ai0;
                const std::size_t k = j + block / 2;
                const double tr = ar0 * re[k] - ai0 * im[k];
                const double ti = ar0 * im[k] + ai0 * re[k];
                re[k] = re[j] - tr;
                im[k] = im[j] - ti;
                re[j] += tr;
                im[j] += ti;
            }
        }
    }
}

TEST(Fft, GivesBitForBitTheNumbersOfTheStageByStageAlgorithm) {
    for (unsigned seed : {1U, 2U, 3U}) {
        const std::vector<double> input = randomInput(seed);
        std::vector<double> re(kN), im(kN), refRe, refIm;
        ComputeFft(input, re, im);
        literalTransform(input, refRe, refIm);
        for (std::size_t b = 0; b < kN; ++b) {
            ASSERT_EQ(re[b], refRe[b]) << "bin " << b << " seed " << seed;
            ASSERT_EQ(im[b], refIm[b]) << "bin " << b << " seed " << seed;
        }
    }
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

TEST(Fft, PureToneLandsInBinOfItsFrequency) {
    // Tones whose bin position f * 4096 / 48000 has a fraction below one half, so that the
    // nearest bin and the truncated one agree.
    for (double f : {187.5, 1000.0, 1025.0, 3000.0, 10000.0, 21000.0}) {
        std::vector<double> input(kN);
        for (std::size_t n = 0; n < kN; ++n) {
            input[n] = std::sin(2 * kPi * f * static_cast<double>(n) / kSampleRate);
        }
        std::vector<double> re(kN), im(kN), power(kN);
        ComputeFft(input, re, im);
        ComputePower(re, im, power);
        std::size_t peak = 0;
        for (std::size_t b = 1; b < kN / 2; ++b) {
            if (power[b] > power[peak])
                peak = b;
        }
        EXPECT_EQ(std::optional<std::size_t>(peak), binOfFrequency(f)) << f << " Hz";
        EXPECT_NEAR(power[kN - peak], power[peak], power[peak] * 1e-9) << "mirror bin";
    }
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
