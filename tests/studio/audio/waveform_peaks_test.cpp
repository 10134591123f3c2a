#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "studio/audio/waveform_peaks.h"

namespace qm::audio {
namespace {

using Block = std::vector<double>;

struct Peaks {
    std::size_t count = 0;
    std::vector<double> values = std::vector<double>(kBlockSize, -1.0);
};

Peaks peaksOf(const Block& block, int waveScale) {
    Peaks p;
    p.count = computeBlockPeaks(std::span<const double, kBlockSize>(block), waveScale,
                                std::span<double, kBlockSize>(p.values));
    return p;
}

Block sineBlock(double cycles) {
    Block b(kBlockSize);
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        b[i] = 0.8 * std::sin(2 * std::numbers::pi * cycles * static_cast<double>(i) / kBlockSize);
    }
    return b;
}

TEST(WaveformPeaks, ColumnIsTheLargestSampleOfItsGroupAndNeverNegative) {
    Block block(kBlockSize, -0.5);  // a negative half-wave only
    block[30] = 0.25;
    block[31] = 0.75;
    block[100] = -0.9;
    const Peaks wide = peaksOf(block, 480);
    EXPECT_EQ(wide.values[0], 0.75);

    const Peaks bars = peaksOf(block, 24);
    ASSERT_EQ(bars.count, 20u);
    for (std::size_t c = 0; c < 20; ++c) {
        EXPECT_EQ(bars.values[c], c == 1 ? 0.75 : 0.0) << "column " << c;
    }

    const Peaks single = peaksOf(block, 1);
    ASSERT_EQ(single.count, 480u);
    EXPECT_EQ(single.values[0], 0.0) << "a negative sample gives no column";
    EXPECT_EQ(single.values[30], 0.25);
    EXPECT_EQ(single.values[31], 0.75);
    EXPECT_EQ(single.values[100], 0.0);
}

TEST(WaveformPeaks, SamplesLeftOverAtTheEndAreDropped) {
    Block block(kBlockSize, 0.1);
    block[476] = 0.9;  // 68 columns of 7 cover samples 0..475
    block[479] = 0.9;
    const Peaks p = peaksOf(block, 7);
    ASSERT_EQ(p.count, 68u);
    for (std::size_t c = 0; c < p.count; ++c)
        EXPECT_EQ(p.values[c], 0.1);
    EXPECT_EQ(p.values[68], -1.0) << "nothing written past the columns";
}

TEST(WaveformPeaks, ScaleOutsideOneTo480CountsAsTheDefault) {
    const Block block = sineBlock(1);
    for (int scale : {0, -3, 481, 100000}) {
        EXPECT_EQ(effectiveWaveScale(scale), 480) << scale;
        const Peaks p = peaksOf(block, scale);
        EXPECT_EQ(p.count, 1u) << scale;
        EXPECT_NEAR(p.values[0], 0.8, 1e-12);
    }
    EXPECT_EQ(effectiveWaveScale(1), 1);
    EXPECT_EQ(effectiveWaveScale(480), 480);
}

TEST(WaveformHistory, NewestGroupFirstInCaptureOrderOldestFallOff) {
    WaveformHistory history;
    const std::vector<double> first = {1, 2, 3};
    const std::vector<double> second = {4, 5};
    history.push(first);
    history.push(second);
    const auto h = history.newestFirst();
    EXPECT_EQ(h[0], 4);
    EXPECT_EQ(h[1], 5);
    EXPECT_EQ(h[2], 1);
    EXPECT_EQ(h[3], 2);
    EXPECT_EQ(h[4], 3);
    EXPECT_EQ(h[5], 0);
    EXPECT_EQ(h[kWaveformColumns - 1], 0);

    // 4800 more columns push everything older out, across the wrap of the storage.
    const std::vector<double> group(480, 7.0);
    for (int i = 0; i < 9; ++i)
        history.push(group);
    const std::vector<double> last(480, 8.0);
    history.push(last);
    const auto full = history.newestFirst();
    EXPECT_EQ(full[0], 8.0);
    EXPECT_EQ(full[479], 8.0);
    EXPECT_EQ(full[480], 7.0);
    EXPECT_EQ(full[kWaveformColumns - 1], 7.0);

    history.clear();
    for (double v : history.newestFirst())
        ASSERT_EQ(v, 0.0);
}

}  // namespace
}  // namespace qm::audio
