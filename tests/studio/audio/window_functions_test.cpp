#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "studio/audio/window_functions.h"

namespace qm::audio {
namespace {

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

TEST(WindowFunctions, UnknownIndicesChangeNothing) {
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
