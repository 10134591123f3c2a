#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "studio/audio/analysis_engine.h"
#include "studio/audio/frequency_axis.h"
#include "studio/audio/power_views.h"
#include "studio/audio/spectrum_probe.h"
#include "studio/audio/views/render_helpers.h"
#include "studio/audio/views/spectrum_draw_wnd.h"
#include "studio/audio/views/spectrum_painter.h"
#include "studio/audio/views/view_style.h"
#include "studio/audio/views/wave_draw_wnd.h"
#include "studio/audio/views/waveform_painter.h"

namespace qm::audio::views {
namespace {

using testing::isColor;
using testing::render;
using testing::rowsOf;

const QSize kSize(1000, 440);
const QColor kCurve = colorFromColorRef(0xEDDAC3);

SpectrumColors defaultColors() {
    return {kCurve,
            8,
            colorFromColorRef(0x00FFFF),
            colorFromColorRef(0xFF00FF),
            colorFromColorRef(0xFFFF00),
            colorFromColorRef(0x0080FF)};
}

// Ten blocks of a tone through the analysis into `state`. At amplitude 0.05 its bin's power,
// about 33 dB, stays below the 40 dB of the top line.
constexpr double kToneAmplitude = 0.05;
void analyseTone(AnalysisState& state, double frequency, int test) {
    AnalysisEngine engine;
    AnalysisSettings settings;
    settings.SpectrumView = kViewRealTime;
    settings.Test = test;
    for (std::size_t k = 0; k < kSampleHistoryBlocks; ++k) {
        state.submitBlock(qm::testing::toneBlock(frequency, k, kToneAmplitude));
        engine.step(state, settings);
    }
}

// The displayed spectrum after ten blocks of a tone, as the analysis makes it.
std::vector<double> toneSpectrum(double frequency, int test) {
    AnalysisState state;
    analyseTone(state, frequency, test);
    std::vector<double> out;
    state.readSpectrum(
        [&](std::span<const double, kFftSize> s) { out.assign(s.begin(), s.end()); });
    return out;
}

QImage renderSpectrum(const std::vector<double>& spectrum, const SpectrumLook& look,
                      QSize size = kSize) {
    SpectrumCurveBuffers buffers;
    return render(size, [&](QPainter& p) {
        drawSpectrum(p, size, std::span<const double, kFftSize>(spectrum.data(), kFftSize), look,
                     defaultColors(), buffers);
    });
}

// The columns where the curve stands highest, first and last.
std::pair<int, int> highestCurveColumns(const QImage& image) {
    std::pair<int, int> run{-1, -1};
    int bestY = image.height();
    for (int x = 0; x < image.width(); ++x) {
        const std::set<int> rows = rowsOf(image, x, kCurve);
        if (rows.empty() || *rows.begin() > bestY) {
            continue;
        }
        if (*rows.begin() < bestY) {
            bestY = *rows.begin();
            run.first = x;
        }
        run.second = x;
    }
    return run;
}

// The curve's top is a short run of columns (a bin spans at most 7 columns at 200 Hz in a window
// 1000 pixels wide) that holds the column of the frequency.
void expectPeakAt(const QImage& image, double frequency) {
    const auto [first, last] = highestCurveColumns(image);
    const double x = FreqToX(frequency, image.width());
    EXPECT_LE(first - 1, x) << frequency << " Hz";
    EXPECT_GE(last + 1, x) << frequency << " Hz";
    EXPECT_LE(last - first, 7) << frequency << " Hz";
}

TEST(SpectrumPainter, CurveOfAToneStandsHighestAtItsFrequency) {
    for (int test : {0, 1}) {
        for (double f : {200.0, 1000.0, 5000.0}) {
            for (int mode : {0, 1}) {
                SCOPED_TRACE(::testing::Message() << "mode " << mode << ", Test " << test);
                expectPeakAt(renderSpectrum(toneSpectrum(f, test), {mode, 0, 200}), f);
            }
        }
    }
}

TEST(SpectrumPainter, SilenceLiesOnTheBottomLineAndANarrowWindowHasNoCurve) {
    const std::vector<double> silence(kFftSize, 0.0);
    const QImage image = renderSpectrum(silence, {0, 0, 200});
    for (int x : {30, 300, 969}) {
        EXPECT_EQ(rowsOf(image, x, kCurve), std::set<int>{kSize.height() - 30}) << x;
    }
    const std::vector<double> loud(kFftSize, 1e6);
    const QImage narrow = renderSpectrum(loud, {0, 0, 200}, QSize(59, 200));
    for (int x = 0; x < narrow.width(); ++x) {
        EXPECT_TRUE(rowsOf(narrow, x, kCurve).empty()) << x;
    }
}

TEST(SpectrumPainter, MarkersStandAtTheirFrequenciesLaterRowsOnTop) {
    const SpectrumColors colors = defaultColors();
    const QImage image = renderSpectrum(std::vector<double>(kFftSize, 0.0), {0, 15, 200});
    const QColor rowColors[] = {colors.lpf, colors.hpf1, colors.hpf2, colors.eq};
    int lines = 0;
    for (std::size_t r = 0; r < markerRows().size(); ++r) {
        for (const double f : markerRows()[r].frequencies) {
            ++lines;
            // Where rows share a frequency (500 Hz, 2500 Hz) the later row is seen.
            const bool covered = r < 3 && (f == 500.0 || f == 2500.0);
            const QColor expected = covered ? colors.eq : rowColors[r];
            const int x = static_cast<int>(std::lround(FreqToX(f, kSize.width())));
            const bool seen = isColor(image, x, 200, expected) ||
                              isColor(image, x - 1, 200, expected) ||
                              isColor(image, x + 1, 200, expected);
            EXPECT_TRUE(seen) << f << " Hz of row " << r;
        }
    }
    EXPECT_EQ(lines, 32);
    const QImage none = renderSpectrum(std::vector<double>(kFftSize, 0.0), {0, 0, 200});
    const int x = static_cast<int>(FreqToX(7000, kSize.width()));
    EXPECT_FALSE(isColor(none, x, 200, colors.lpf) || isColor(none, x + 1, 200, colors.lpf));
}

TEST(SpectrumPainter, TheMicrophonesOwnSettingsAreMarkedWideAtTheirFrequencies) {
    SettingMarks marks;
    marks.add({1, 5000, 0, "LPF"});
    marks.add({4, 100, 0, "HPF2"});
    marks.add({8, 1000, 200, "EQ2"});
    marks.add({8, 1500, 100, "EQ3"});

    const SpectrumColors colors = defaultColors();
    const auto wideAt = [](const QImage& image, double f, const QColor& color) {
        const int x = static_cast<int>(std::lround(FreqToX(f, image.width())));
        return isColor(image, x - 1, 300, color) && isColor(image, x, 300, color) &&
               isColor(image, x + 1, 300, color);
    };
    const std::vector<double> silence(kFftSize, 0.0);
    SpectrumCurveBuffers buffers;
    const auto draw = [&](int shownRows) {
        return render(kSize, [&](QPainter& p) {
            drawSpectrum(p, kSize, std::span<const double, kFftSize>(silence.data(), kFftSize),
                         {0, shownRows, 200}, colors, buffers, marks);
        });
    };
    const QImage all = draw(15);
    EXPECT_TRUE(wideAt(all, 5000, colors.lpf));
    EXPECT_TRUE(wideAt(all, 100, colors.hpf2));
    EXPECT_TRUE(wideAt(all, 1000, colors.eq));
    EXPECT_TRUE(wideAt(all, 1500, colors.eq));
    EXPECT_FALSE(wideAt(all, 4500, colors.lpf)) << "the other values of a row stay thin";
    EXPECT_FALSE(wideAt(all, 2000, colors.eq));

    const QImage eqOnly = draw(8);
    EXPECT_TRUE(wideAt(eqOnly, 1000, colors.eq));
    EXPECT_FALSE(wideAt(eqOnly, 5000, colors.lpf)) << "a row not shown shows no mark";
}

// Top rows of the label runs in a column band, above the frequency labels.
std::vector<int> labelRuns(const QImage& image, int left, int right) {
    std::vector<int> starts;
    bool inRun = false;
    for (int y = 0; y < image.height() - 31; ++y) {
        bool text = false;
        for (int x = left; x < right && !text; ++x) {
            text = image.pixelColor(x, y) != kViewBackground;
        }
        if (text && !inRun) {
            starts.push_back(y);
        }
        inRun = text;
    }
    return starts;
}

TEST(SpectrumPainter, DbLabelsDownToTheBoundOnBothSides) {
    for (int bound : {20, 200}) {
        const QImage image = render(kSize, [&](QPainter& p) {
            drawSpectrumScale(p, kSize, {0, 0, bound}, defaultColors());
        });
        const double dy = (kSize.height() - 40.0) / bound;  // 20 and 2 pixels per dB
        for (const auto& [left, right] : {std::pair{2, 27}, std::pair{974, 999}}) {
            const std::vector<int> runs = labelRuns(image, left, right);
            ASSERT_EQ(runs.size(), static_cast<std::size_t>(bound / 10)) << bound;
            for (std::size_t i = 0; i < runs.size(); ++i) {
                const double top = 10 + 10.0 * static_cast<double>(i) * dy;
                EXPECT_GE(runs[i], top) << "label " << i << " of bound " << bound;
                EXPECT_LT(runs[i], top + 5) << "label " << i << " of bound " << bound;
            }
        }
    }
}

const QColor kWave = colorFromColorRef(0xEDDAC3);
const QSize kWaveSize(525, 300);  // 500 columns, the newest at R = 500; mid = 150

QImage renderWaveform(const std::vector<double>& history, const WaveformLook& look,
                      QSize size = kWaveSize) {
    WaveformBuffers buffers;
    return render(size, [&](QPainter& p) {
        drawWaveform(p, size,
                     std::span<const double, kWaveformColumns>(history.data(), kWaveformColumns),
                     look, kWave, buffers);
    });
}

std::set<int> columnRows(const QImage& image, int x) {
    return rowsOf(image, x, kWave);
}

TEST(WaveformPainter, SilenceDrawsOnlyTheCentreLine) {
    const std::vector<double> silence(kWaveformColumns, 0.0);
    const QImage bars = renderWaveform(silence, {0, 480});
    for (int x : {0, 250, 500}) {
        ASSERT_EQ(columnRows(bars, x).size(), 1u) << x;
    }
    // In zig-zag form silence draws short strokes just above the centre line.
    const QImage zigzag = renderWaveform(silence, {0, 1});
    EXPECT_EQ(columnRows(zigzag, 300).size(), 2u);
}

TEST(WaveformPainter, ColumnsOnBothScales) {
    std::vector<double> history(kWaveformColumns, 0.0);
    history[0] = 1.0;   // newest: a full-scale sample at x = R
    history[10] = 0.1;  // -20 dB
    history[20] = 0.5;
    history[30] = 1e-7;  // -140 dB: below the scale, a two-pixel stroke
    const QImage log = renderWaveform(history, {0, 480});
    const std::set<int> full = columnRows(log, 500);
    EXPECT_EQ(*full.begin(), 0) << "a full-scale sample reaches the top";
    EXPECT_EQ(*full.rbegin(), 299);
    EXPECT_EQ(*columnRows(log, 490).begin(), 75) << "-20 dB is half the height";
    EXPECT_EQ(columnRows(log, 489).size(), 1u) << "no column without a value";

    const QImage linear = renderWaveform(history, {1, 480});
    const std::set<int> half = columnRows(linear, 480);
    EXPECT_EQ(*half.begin(), 75);
    EXPECT_EQ(*half.rbegin(), 224);
    EXPECT_EQ(*columnRows(linear, 490).begin(), 135);
    EXPECT_LE(columnRows(linear, 470).size(), 2u);

    // A window narrower than 26 pixels has no room for columns.
    const QImage narrow = renderWaveform(history, {0, 480}, QSize(25, 300));
    for (int x = 0; x < 25; ++x)
        EXPECT_LE(columnRows(narrow, x).size(), 1u) << x;
}

TEST(MonitorWindows, FrameTimersRunWhileTheWindowsAreShown) {
    AnalysisState state;
    CSpectrumWnd spectrum(state);
    CWaveformWnd waveform(state);
    for (QWidget* holder : {static_cast<QWidget*>(&spectrum), static_cast<QWidget*>(&waveform)}) {
        const QTimer& timer = holder == &spectrum ? spectrum.drawWnd()->frameTimer()
                                                  : waveform.drawWnd()->frameTimer();
        EXPECT_FALSE(timer.isActive());
        holder->resize(400, 300);
        holder->show();
        EXPECT_TRUE(timer.isActive());
        holder->hide();
        EXPECT_FALSE(timer.isActive());
    }
}

TEST(MonitorWindows, TheWindowsDrawWhatTheAnalysisPublished) {
    AnalysisState state;
    analyseTone(state, 1000.0, 0);
    CSpectrumDrawWnd spectrum(state);
    spectrum.resize(kSize);
    spectrum.setColors(defaultColors());
    spectrum.setLook({0, 0, 200});
    expectPeakAt(spectrum.grab().toImage(), 1000.0);

    CWaveDrawWnd waveform(state);
    waveform.resize(kWaveSize);
    waveform.setColor(kWave);
    waveform.setLook({1, 480});
    // The tone's newest column: the largest sample of the last block, the tone's amplitude.
    const std::set<int> newest = columnRows(waveform.grab().toImage(), 500);
    EXPECT_NEAR(*newest.begin(), 150 - kToneAmplitude * 150, 1);

    state.ResetAnalysis();
    EXPECT_EQ(columnRows(waveform.grab().toImage(), 500).size(), 1u) << "only the centre line";
}

}  // namespace
}  // namespace qm::audio::views
