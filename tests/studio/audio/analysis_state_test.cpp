#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "studio/audio/analysis_state.h"
#include "studio/audio/capture_block.h"

namespace qm::audio {
namespace {

using FloatBlock = std::array<float, kBlockSize>;
using DoubleBlock = std::array<double, kBlockSize>;

TEST(AnalysisState, HandOffConvertsTheBlockAndRaisesTheFlagOnce) {
    AnalysisState state;
    EXPECT_FALSE(state.dataReady());
    DoubleBlock taken{};
    EXPECT_FALSE(state.takeBlock(taken).has_value()) << "nothing handed over yet";

    FloatBlock block{};
    for (std::size_t i = 0; i < kBlockSize; ++i)
        block[i] = 0.001F * static_cast<float>(i);
    state.submitBlock(block);
    EXPECT_TRUE(state.dataReady());
    ASSERT_TRUE(state.takeBlock(taken).has_value());
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        ASSERT_EQ(taken[i], static_cast<double>(block[i]));
    }
    EXPECT_FALSE(state.dataReady());
    EXPECT_FALSE(state.takeBlock(taken).has_value()) << "a block is analysed once";
}

TEST(AnalysisState, SamplesThatAreNotFiniteBecomeZero) {
    AnalysisState state;
    FloatBlock block{};
    block.fill(0.5F);
    block[1] = std::numeric_limits<float>::quiet_NaN();
    block[2] = std::numeric_limits<float>::infinity();
    block[3] = -std::numeric_limits<float>::infinity();
    state.submitBlock(block);
    DoubleBlock taken{};
    ASSERT_TRUE(state.takeBlock(taken).has_value());
    EXPECT_EQ(taken[0], 0.5);
    EXPECT_EQ(taken[1], 0.0);
    EXPECT_EQ(taken[2], 0.0);
    EXPECT_EQ(taken[3], 0.0);
}

TEST(AnalysisState, ResultsComputedAcrossAResetAreDropped) {
    AnalysisState state;
    FloatBlock block{};
    block.fill(0.25F);
    state.submitBlock(block);
    DoubleBlock taken{};
    const auto generation = state.takeBlock(taken);
    ASSERT_TRUE(generation.has_value());

    state.ResetAnalysis();
    EXPECT_TRUE(state.dataReady()) << "the analysis runs once more over the zeroed block";
    bool wrote = false;
    EXPECT_FALSE(state.publish(*generation, [&](auto, auto&) { wrote = true; }));
    EXPECT_FALSE(wrote);

    const auto next = state.takeBlock(taken);
    ASSERT_TRUE(next.has_value());
    EXPECT_NE(*next, *generation);
    for (double v : taken)
        ASSERT_EQ(v, 0.0);
    EXPECT_TRUE(state.publish(
        *next, [&](std::span<double, kFftSize> displayed, auto&) { displayed[3] = 1.0; }));
    state.readSpectrum([](std::span<const double, kFftSize> s) { EXPECT_EQ(s[3], 1.0); });
}

TEST(CaptureBlock, TakesChannelZeroOfTheFirst480Frames) {
    CaptureBlock block;
    std::vector<float> stereo(std::size_t{2} * 600);
    for (std::size_t f = 0; f < 600; ++f) {
        stereo[2 * f] = static_cast<float>(f);  // left
        stereo[2 * f + 1] = -1.0F;              // right, never used
    }
    block.takePacket(stereo, 2);
    EXPECT_EQ(block.samples()[0], 0.0F);
    EXPECT_EQ(block.samples()[479], 479.0F) << "frames beyond 480 are not used";

    // A short packet refreshes only the front; the tail keeps the older values.
    const std::vector<float> shortPacket = {100.0F, -1.0F, 101.0F, -1.0F, 102.0F};
    block.takePacket(shortPacket, 2);
    EXPECT_EQ(block.samples()[0], 100.0F);
    EXPECT_EQ(block.samples()[1], 101.0F);
    EXPECT_EQ(block.samples()[2], 2.0F) << "a trailing partial frame is ignored";
    EXPECT_EQ(block.samples()[479], 479.0F);

    block.takePacket(shortPacket, 0);
    EXPECT_EQ(block.samples()[0], 100.0F) << "a packet without channels changes nothing";
}

}  // namespace
}  // namespace qm::audio
