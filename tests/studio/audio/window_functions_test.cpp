#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "studio/audio/window_functions.h"

namespace qm::audio {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr std::size_t kProbes[] = {0, 1, 2047, 2048, 4095};

// The window formulas written out independently of the implementation.
double expected(int index, std::size_t sample) {
    const double n = static_cast<double>(sample);
    const double c1 = std::cos(2 * kPi * n / 4095);
    const double c2 = std::cos(4 * kPi * n / 4095);
    const double c3 = std::cos(6 * kPi * n / 4095);
    const double g = n / 4096 - 0.5;
    switch (index) {
        case 1:
            return sample < 2048 ? static_cast<double>(static_cast<float>(sample) *
                                                       static_cast<float>(2.0 / 4096))
                                 : 1.0 - (n - 2048) / 2048;
        case 2:
            return 0.54 - 0.46 * c1;
        case 3:
            return 0.5 - 0.5 * c1;
        case 4:
            return 0.42 - 0.5 * c1 + 0.08 * c2;
        case 5:
            return 0.35875 - 0.48829 * c1 + 0.14128 * c2 - 0.011680000461637974 * c3;
        case 6:
            return 4 * (n / 4096) * (1 - n / 4096);
        case 7:
            return std::exp(-12.5 * g * g);
        case 8:
            return std::exp(-24.5 * g * g);
        case 9:
            return std::exp(-40.5 * g * g);
        default:
            return 1.0;
    }
}

TEST(WindowFunctions, MatchTheFormulasAtTheEdgesAndTheMiddle) {
    for (int index = 0; index < kWindowFunctionCount; ++index) {
        for (std::size_t n : kProbes) {
            EXPECT_NEAR(windowCoefficient(index, n), expected(index, n), 1e-15)
                << windowFunctionName(index) << " at n = " << n;
        }
    }
}

TEST(WindowFunctions, KnownValuesPinDivisorsAndConstants) {
    // Bartlett: rising to 1 at the middle, falling to 1/2048 at the end.
    EXPECT_EQ(windowCoefficient(1, 0), 0.0);
    EXPECT_EQ(windowCoefficient(1, 1), 2.0 / 4096);
    EXPECT_EQ(windowCoefficient(1, 2047), 2047.0 * 2.0 / 4096);
    EXPECT_EQ(windowCoefficient(1, 2048), 1.0);
    EXPECT_EQ(windowCoefficient(1, 4095), 1.0 / 2048);
    // The cosine windows divide by N - 1, so they end where they start.
    EXPECT_NEAR(windowCoefficient(3, 4095), 0.0, 1e-15);
    EXPECT_NEAR(windowCoefficient(2, 4095), 0.08, 1e-15);
    EXPECT_NEAR(windowCoefficient(4, 0), 0.0, 1e-15);
    // Welch and Gaussian divide by N: exactly 1 at n = 2048, not symmetric at the ends.
    EXPECT_EQ(windowCoefficient(6, 2048), 1.0);
    EXPECT_EQ(windowCoefficient(6, 0), 0.0);
    EXPECT_GT(windowCoefficient(6, 4095), 0.0);
    for (int gauss = 7; gauss <= 9; ++gauss) {
        EXPECT_EQ(windowCoefficient(gauss, 2048), 1.0);
    }
    EXPECT_NEAR(windowCoefficient(7, 0), std::exp(-12.5 / 4), 1e-15);
    EXPECT_NEAR(windowCoefficient(9, 0), std::exp(-40.5 / 4), 1e-15);
    // Blackman-Harris uses the widened single-precision 0.01168, not the decimal.
    const double decimal = 0.35875 - 0.48829 + 0.14128 - 0.01168;
    EXPECT_GT(std::abs(windowCoefficient(5, 0) - decimal), 4e-10);
    EXPECT_NEAR(windowCoefficient(5, 0), 0.35875 - 0.48829 + 0.14128 - 0.011680000461637974, 1e-16);
}

TEST(WindowFunctions, NamesFollowTheIndexAndUnknownIndicesChangeNothing) {
    EXPECT_EQ(windowFunctionName(0), "Rectangular");
    EXPECT_EQ(windowFunctionName(5), "Blackman-Harris");
    EXPECT_EQ(windowFunctionName(7), "Gaussian (a=2.5)");
    EXPECT_EQ(windowFunctionName(9), "Gaussian (a=4.5)");
    EXPECT_TRUE(windowFunctionName(10).empty());
    EXPECT_TRUE(windowFunctionName(-1).empty());

    std::vector<double> buffer(kFftSize);
    for (std::size_t i = 0; i < kFftSize; ++i)
        buffer[i] = static_cast<double>(i) - 2000.5;
    const std::vector<double> original = buffer;
    for (int index : {0, -1, 10, 1000}) {
        ApplyWindow(index, std::span<double, kFftSize>(buffer));
        EXPECT_EQ(buffer, original) << index;
    }
}

TEST(WindowFunctions, CachedTableGivesExactlyTheValuesOfApplyWindow) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> input(kFftSize);
    for (double& x : input)
        x = dist(rng);

    WindowTable table;
    std::vector<double> cached(kFftSize);
    // Switch back and forth so a stale table would show.
    for (int index : {4, 3, 4, 0, 9, 11, 5, 1, 2, 6, 7, 8, 4}) {
        std::vector<double> direct = input;
        ApplyWindow(index, std::span<double, kFftSize>(direct));
        table.copyWindowed(index, std::span<const double, kFftSize>(input),
                           std::span<double, kFftSize>(cached));
        EXPECT_EQ(cached, direct) << "window " << index;
    }
}

}  // namespace
}  // namespace qm::audio
