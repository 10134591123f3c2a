#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "studio/audio/analysis_engine.h"
#include "studio/audio/frequency_axis.h"
#include "studio/audio/power_views.h"
#include "studio/audio/spectrum_probe.h"

namespace qm::audio {
namespace {

using FloatBlock = std::array<float, kBlockSize>;
using qm::testing::toneBlock;

FloatBlock constantBlock(float value) {
    FloatBlock b{};
    b.fill(value);
    return b;
}

struct Rig {
    AnalysisState state;
    AnalysisEngine engine;
    AnalysisSettings settings;

    bool feed(const FloatBlock& block) {
        state.submitBlock(block);
        return engine.step(state, settings);
    }
    // Enough tone blocks for the transform to see nothing but the tone.
    void feedTone(double frequency, std::size_t blocks = kSampleHistoryBlocks) {
        for (std::size_t k = 0; k < blocks; ++k)
            feed(toneBlock(frequency, k));
    }
    std::vector<double> displayed() const {
        std::vector<double> out;
        state.readSpectrum(
            [&](std::span<const double, kFftSize> s) { out.assign(s.begin(), s.end()); });
        return out;
    }
    std::vector<double> waveform() const {
        std::vector<double> out;
        state.readWaveform(
            [&](std::span<const double, kWaveformColumns> w) { out.assign(w.begin(), w.end()); });
        return out;
    }
};

std::size_t peakBin(const std::vector<double>& spectrum) {
    return static_cast<std::size_t>(
        std::max_element(spectrum.begin() + 1, spectrum.begin() + kFftSize / 2) - spectrum.begin());
}

TEST(AnalysisEngine, ToneLandsInItsBinWhateverItsPhaseAtBlockEdges) {
    // 1025 Hz and 1010 Hz are not whole cycles per 10 ms block: the transform must see the
    // samples in time order for their peak to stay in their own bin.
    for (int window : {0, 3, 4}) {
        for (double f : {1000.0, 1010.0, 1025.0, 3000.0, 10000.0}) {
            Rig rig;
            rig.settings.SpectrumView = kViewRealTime;
            rig.settings.WindowFunc = window;
            rig.feedTone(f);
            EXPECT_EQ(std::optional<std::size_t>(peakBin(rig.displayed())), binOfFrequency(f))
                << f << " Hz, window " << window;
        }
    }
}

TEST(AnalysisEngine, HanningLeaksFarLessThanRectangularOnAnOffBinTone) {
    const double f = 100.3 * kSampleRate / static_cast<double>(kFftSize);  // between bins
    Rig rectangular;
    Rig hanning;
    for (Rig* rig : {&rectangular, &hanning})
        rig->settings.SpectrumView = kViewRealTime;
    rectangular.settings.WindowFunc = 0;
    hanning.settings.WindowFunc = 3;
    rectangular.feedTone(f);
    hanning.feedTone(f);
    const std::vector<double> r = rectangular.displayed();
    const std::vector<double> h = hanning.displayed();
    ASSERT_EQ(peakBin(r), 100u);
    ASSERT_EQ(peakBin(h), 100u);
    // 50 bins away the rectangular window's sidelobes (falling 6 dB per octave) are still
    // around -43 dB; the Hanning window's (18 dB per octave) are below -90 dB.
    const double rectLeak = r[150] / r[100];
    const double hannLeak = h[150] / h[100];
    EXPECT_GT(rectLeak, 1e-5);
    EXPECT_LT(hannLeak, 1e-9);
    EXPECT_GT(rectLeak / hannLeak, 1e4);
    // In exchange the Hanning main lobe is wider: the next bin holds more of the peak.
    EXPECT_GT(h[101] / h[100], r[101] / r[100]);
}

TEST(AnalysisEngine, AmplitudeTransformAndNoTransform) {
    Rig rig;
    rig.settings.SpectrumView = kViewRealTime;
    rig.settings.WindowFunc = 0;
    rig.settings.Test = 1;
    const double f = 256.0 * kSampleRate / static_cast<double>(kFftSize);  // bin 256, 3 kHz
    rig.feedTone(f);
    EXPECT_NEAR(rig.displayed()[256], 0.5, 1e-6) << "2 |X| / N of a tone of amplitude 0.5";

    // Any other Test value leaves the spectrum as it was, whatever comes in.
    const std::vector<double> before(rig.engine.spectrum().begin(), rig.engine.spectrum().end());
    rig.settings.Test = 2;
    EXPECT_TRUE(rig.feed(constantBlock(0.9F)));
    const std::vector<double> after(rig.engine.spectrum().begin(), rig.engine.spectrum().end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(rig.displayed(), before);
}

TEST(AnalysisEngine, ViewsRefreshOnceEveryEightSteps) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> dist(-1.0F, 1.0F);
    for (int view : {kViewRealTime, kViewMiddle, kViewMin, kViewMax}) {
        Rig rig;
        rig.settings.SpectrumView = view;
        std::vector<int> changes;
        std::vector<double> last = rig.displayed();
        for (int step = 1; step <= 24; ++step) {
            FloatBlock b{};
            for (float& s : b)
                s = dist(rng);
            rig.feed(b);
            const std::vector<double> now = rig.displayed();
            if (now != last)
                changes.push_back(step);
            last = now;
        }
        if (view == kViewRealTime) {
            EXPECT_EQ(changes.size(), 24u);
        } else {
            EXPECT_EQ(changes, (std::vector<int>{8, 16, 24})) << "view " << view;
        }
    }
}

TEST(AnalysisEngine, SwitchingToRealTimeTakesEffectAtTheNextStep) {
    Rig rig;
    rig.settings.SpectrumView = kViewMax;
    rig.feed(toneBlock(1000, 0));
    EXPECT_EQ(rig.displayed()[85], 0.0) << "the max view has not refreshed yet";
    rig.settings.SpectrumView = kViewRealTime;
    rig.feed(toneBlock(1000, 1));
    EXPECT_GT(rig.displayed()[85], 0.0);
}

TEST(AnalysisEngine, WaveformColumnsPerBlockForEachScale) {
    struct Case {
        int scale;
        std::size_t columns;
    };
    for (const Case c : {Case{480, 1}, Case{24, 20}, Case{1, 480}}) {
        Rig rig;
        rig.settings.WaveScale = c.scale;
        FloatBlock first{};
        first.fill(-0.3F);             // negative half-wave: no column
        first[kBlockSize - 1] = 0.6F;  // falls in the last column of the block
        rig.feed(first);
        rig.feed(constantBlock(0.2F));
        const std::vector<double> w = rig.waveform();
        for (std::size_t i = 0; i < c.columns; ++i) {
            ASSERT_FLOAT_EQ(static_cast<float>(w[i]), 0.2F) << "newest block, column " << i;
        }
        for (std::size_t i = 0; i + 1 < c.columns; ++i) {
            ASSERT_EQ(w[c.columns + i], 0.0) << "scale " << c.scale << ", column " << i;
        }
        EXPECT_FLOAT_EQ(static_cast<float>(w[2 * c.columns - 1]), 0.6F);
        EXPECT_EQ(w[2 * c.columns], 0.0) << "nothing older";
    }
}

TEST(AnalysisEngine, ChangingTheWaveScaleKeepsTheHistory) {
    Rig rig;
    rig.settings.WaveScale = 480;
    rig.feed(constantBlock(0.4F));
    rig.settings.WaveScale = 240;
    rig.feed(constantBlock(0.1F));
    const std::vector<double> w = rig.waveform();
    EXPECT_FLOAT_EQ(static_cast<float>(w[0]), 0.1F);
    EXPECT_FLOAT_EQ(static_cast<float>(w[1]), 0.1F);
    EXPECT_FLOAT_EQ(static_cast<float>(w[2]), 0.4F);
}

TEST(AnalysisEngine, ResetGivesAZeroDisplay) {
    for (int view : {kViewRealTime, kViewMiddle, kViewMax}) {
        Rig rig;
        rig.settings.SpectrumView = view;
        rig.feedTone(1000.0, 13);  // mid-way between two refreshes of the slower views
        const std::vector<double> shown = rig.displayed();
        ASSERT_GT(*std::max_element(shown.begin(), shown.end()), 0.0);

        rig.state.ResetAnalysis();
        const auto isZero = [](const std::vector<double>& v) {
            return std::all_of(v.begin(), v.end(), [](double x) { return x == 0.0; });
        };
        EXPECT_TRUE(isZero(rig.displayed())) << "view " << view;
        EXPECT_TRUE(isZero(rig.waveform()));
        ASSERT_TRUE(rig.engine.step(rig.state, rig.settings)) << "one more step after a reset";
        EXPECT_TRUE(isZero(rig.displayed())) << "view " << view;
        EXPECT_TRUE(isZero(rig.waveform()));
        // The old samples are gone from the transform too: silence now gives a zero spectrum,
        // and the next refresh of the slower views (their extremes start at 2.0e-308, not 0)
        // still draws on the bottom line.
        for (int i = 0; i < 7; ++i)
            rig.feed(constantBlock(0.0F));
        EXPECT_TRUE(isZero(
            std::vector<double>(rig.engine.spectrum().begin(), rig.engine.spectrum().end())));
        const int bottom = 300;
        const double dy = pixelsPerDb(0, bottom, 200);
        for (double v : rig.displayed())
            ASSERT_EQ(levelY(v, dy, bottom), bottom - 30.0);
    }
}

TEST(AnalysisEngine, ABrokenSampleDoesNotPoisonTheSpectrumOrTheWaveform) {
    Rig rig;
    rig.settings.SpectrumView = kViewRealTime;
    rig.settings.WaveScale = 1;
    rig.feedTone(1000, kSampleHistoryBlocks - 1);
    FloatBlock broken = toneBlock(1000, kSampleHistoryBlocks - 1);
    broken[17] = std::numeric_limits<float>::quiet_NaN();
    broken[18] = std::numeric_limits<float>::infinity();
    rig.feed(broken);
    for (double v : rig.displayed())
        ASSERT_TRUE(std::isfinite(v));
    for (double v : rig.waveform())
        ASSERT_TRUE(std::isfinite(v));
    EXPECT_EQ(rig.waveform()[18], 0.0);
    EXPECT_EQ(peakBin(rig.displayed()), 85u);
}

}  // namespace
}  // namespace qm::audio
