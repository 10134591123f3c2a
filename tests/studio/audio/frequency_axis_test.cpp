#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "studio/audio/frequency_axis.h"

namespace qm::audio {
namespace {

constexpr int kRight = 1000;

TEST(SpectrumAxis, ThePlotRunsFromTenHertzToJustBelowTwentyKilohertz) {
    EXPECT_DOUBLE_EQ(XToFreq(30, kRight), 10.0);
    EXPECT_NEAR(XToFreq(30 + decadeWidth(kRight), kRight), 100.0, 1e-9);
    EXPECT_LT(XToFreq(kRight - 30, kRight), 20000.0);
}

TEST(SpectrumAxis, OutsideThePlotGivesZero) {
    EXPECT_EQ(XToFreq(29.999, kRight), 0.0);
    EXPECT_EQ(XToFreq(30 + 4 * decadeWidth(kRight), kRight), 0.0);
    EXPECT_GT(XToFreq(30 + 4 * decadeWidth(kRight) - 0.01, kRight), 99'000.0);
    EXPECT_EQ(FreqToX(9.99, kRight), 0.0);
    EXPECT_EQ(FreqToX(20000.0, kRight), 0.0);
    EXPECT_EQ(FreqToX(std::nan(""), kRight), 0.0);
    EXPECT_DOUBLE_EQ(FreqToX(10.0, kRight), 30.0);
    // No plot at all in a window of 60 pixels or less: no division by a zero decade.
    for (int right : {60, 59, 0}) {
        for (double x : {0.0, 30.0, 31.0, 45.0})
            EXPECT_EQ(XToFreq(x, right), 0.0) << right;
    }
}

TEST(SpectrumAxis, ColumnsAndFrequenciesRoundTrip) {
    for (int right : {200, kRight, 1920}) {
        for (int x = 30; x <= right - 30; ++x) {
            const double f = XToFreq(x, right);
            ASSERT_GT(f, 0.0);
            ASSERT_NEAR(FreqToX(f, right), x, 1e-9) << "x = " << x << ", right = " << right;
        }
    }
    for (double f : {10.0, 14.0, 50.0, 118.0, 1000.0, 2500.0, 7000.0, 19999.0}) {
        EXPECT_NEAR(XToFreq(FreqToX(f, kRight), kRight), f, f * 1e-12) << f;
    }
}

TEST(SpectrumAxis, BinOfAFrequency) {
    EXPECT_EQ(binOfFrequency(0.0), 0u);
    EXPECT_EQ(binOfFrequency(1000.0), 85u);  // 85.33
    EXPECT_EQ(binOfFrequency(11.71875), 1u);
    EXPECT_EQ(binOfFrequency(11.7), 0u);
    EXPECT_EQ(binOfFrequency(24000.0), 2048u);
    EXPECT_EQ(binOfFrequency(47'999.0), 4095u);
    EXPECT_EQ(binOfFrequency(48'000.0), std::nullopt);
    EXPECT_EQ(binOfFrequency(1e300), std::nullopt);
    EXPECT_EQ(binOfFrequency(-1.0), std::nullopt);
    EXPECT_EQ(binOfFrequency(std::nan("")), std::nullopt);
}

TEST(SpectrumAxis, PixelsPerDbAndTheLevelRow) {
    EXPECT_DOUBLE_EQ(pixelsPerDb(0, 440, 200), 2.0);
    EXPECT_DOUBLE_EQ(pixelsPerDb(0, 440, 20), 20.0) << "ten times that of 200";
    EXPECT_DOUBLE_EQ(pixelsPerDb(0, 440, 0), 2.0) << "an impossible bound counts as 200";
    EXPECT_DOUBLE_EQ(pixelsPerDb(0, 440, -10), 2.0);
    EXPECT_DOUBLE_EQ(pixelsPerDb(0, 440, 1000), 0.4);
    EXPECT_DOUBLE_EQ(pixelsPerDb(0, 440, 1001), 2.0) << "a bound that would draw a line per pixel";

    const int bottom = 440;
    const double dy = pixelsPerDb(0, bottom, 200);
    EXPECT_NEAR(levelY(1e4, dy, bottom), 10.0, 1e-5) << "40 dB is the top line";
    EXPECT_NEAR(levelY(1.0, dy, bottom), 10.0 + 40.0 * dy, 1e-9);
    EXPECT_NEAR(levelY(1e-10, dy, bottom), 10.0 + 140.0 * dy, 1e-4);
    EXPECT_NEAR(levelY(1e6, dy, bottom), 10.0 - 20.0 * dy, 1e-4) << "not limited at the top";
}

TEST(SpectrumAxis, LevelRowIsAlwaysFiniteAndNeverBelowTheFloor) {
    const int bottom = 440;
    const double floor = bottom - 30;
    const double dy = pixelsPerDb(0, bottom, 200);
    EXPECT_EQ(levelY(0.0, dy, bottom), floor) << "no microphone: the curve lies on the bottom";
    EXPECT_EQ(levelY(-1.0, dy, bottom), floor);
    EXPECT_EQ(levelY(std::nan(""), dy, bottom), floor);
    EXPECT_EQ(levelY(1e-50, dy, bottom), floor) << "zero once taken as a 32-bit float";
    EXPECT_EQ(levelY(1e-30, dy, bottom), floor) << "-300 dB is far below the plot";
    const double huge = levelY(1e300, dy, bottom);
    EXPECT_TRUE(std::isfinite(huge));
    EXPECT_TRUE(std::isfinite(levelY(std::numeric_limits<double>::infinity(), dy, bottom)));
    // A window too short for a plot has a negative scale; rows must still be finite.
    const double negative = pixelsPerDb(0, 20, 200);
    ASSERT_LT(negative, 0.0);
    EXPECT_EQ(levelY(0.0, negative, 20), 20 - 30.0);
}

}  // namespace
}  // namespace qm::audio
