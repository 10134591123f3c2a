#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "common/runtime/virtual_clock.h"
#include "studio/audio/scripted_cpu_times.h"
#include "studio/audio/views/display_wnd.h"
#include "studio/audio/views/monitor_images.h"
#include "studio/audio/views/peak_meter_painter.h"
#include "studio/audio/views/ppm_draw_wnd.h"
#include "studio/audio/views/render_helpers.h"
#include "studio/audio/views/status_graph_ctrl.h"
#include "studio/audio/views/view_style.h"
#include "studio/controls/media_slider.h"

namespace qm::audio::views {
namespace {

using namespace std::chrono_literals;
using testing::isColor;
using testing::readDigit;
using testing::render;

const QSize kMeterSize(60, 600);  // y0 = 330, meter height 320
const PeakMeterColors kZones{colorFromColorRef(0xEDDAC3), colorFromColorRef(0x00FFFF),
                             colorFromColorRef(0x0000FF)};
constexpr int kOutputX = 60 - 10;
constexpr int kInputX = 60 - 50;

QImage renderMeter(const PeakMeterLevels& levels) {
    PeakMeterBuffers buffers;
    const QImage icons = meterIcons();
    return render(kMeterSize, [&](QPainter& p) {
        drawPeakMeter(p, kMeterSize, icons, levels, kZones, buffers);
    });
}

// The lit segment rows of a meter column, by zone colour.
struct LitRows {
    std::set<int> norm, mid, max;
};
LitRows litRows(const QImage& image, int x) {
    return {testing::rowsOf(image, x, kZones.norm), testing::rowsOf(image, x, kZones.mid),
            testing::rowsOf(image, x, kZones.max)};
}

TEST(PeakMeterPainter, FullScaleLightsTheTopSegmentAndHalfScale85Percent) {
    PeakMeterLevels levels;
    levels.show(0.5F, 1.0F);
    const QImage image = renderMeter(levels);

    const LitRows output = litRows(image, kOutputX);
    EXPECT_EQ(*output.max.begin(), 10) << "the top segment";
    EXPECT_EQ(*output.norm.rbegin(), 330) << "the bottom segment";
    EXPECT_EQ(output.norm.size() + output.mid.size() + output.max.size(), 161u) << "every one";

    // 0.5 is -6.02 dB, 84.95 %: lit up to row 330 - 271.8; the -10 dB line (75 %) stands at
    // row 90, the -5 dB line (87.5 %) at row 50.
    const LitRows input = litRows(image, kInputX);
    EXPECT_TRUE(input.max.empty());
    EXPECT_EQ(*input.mid.begin(), 60);
    EXPECT_EQ(*input.mid.rbegin(), 90);
    EXPECT_EQ(*input.norm.begin(), 92);
    EXPECT_EQ(input.norm.size() + input.mid.size(), 136u);
}

TEST(PeakMeterPainter, SilenceShowsTheBottomSegmentAndTheHold) {
    PeakMeterLevels levels;
    levels.inputHold = 100.0F;
    const QImage image = renderMeter(levels);
    const LitRows input = litRows(image, kInputX);
    EXPECT_EQ(input.norm, std::set<int>{330});
    EXPECT_EQ(input.max, std::set<int>{10});
    const LitRows output = litRows(image, kOutputX);
    EXPECT_EQ(output.norm, std::set<int>{330});
    EXPECT_TRUE(output.max.empty());

    // Too short for a meter (y0 = 2): only the bottom segment, where the hold lands too.
    const QSize small(60, 272);
    PeakMeterBuffers buffers;
    levels.show(1.0F, 0.5F);
    const QImage tiny =
        render(small, [&](QPainter& p) { drawPeakMeterLevels(p, small, levels, kZones, buffers); });
    for (const int x : {kInputX, kOutputX}) {
        const LitRows lit = litRows(tiny, x);
        std::set<int> all = lit.norm;
        all.insert(lit.mid.begin(), lit.mid.end());
        all.insert(lit.max.begin(), lit.max.end());
        EXPECT_EQ(all, std::set<int>{2}) << x;
    }
}

class FixedPeaks final : public PeakLevels {
  public:
    float inputPeak() override { return input; }
    float outputPeak() override { return output; }
    float input = 0.0F;
    float output = 0.0F;
};

TEST(PeakMeterWindow, HoldFallsHalfAPercentEvery80Ms) {
    FixedPeaks peaks;
    CPPMDrawWnd window(peaks);
    window.resize(kMeterSize);
    peaks.input = 1.0F;
    window.showPeaks();
    peaks.input = 0.0F;
    window.showPeaks();
    window.fallBack();
    window.fallBack();
    window.fallBack();
    EXPECT_FLOAT_EQ(window.levels().inputHold, 98.5F);
    const QImage image = window.grab().toImage();
    // 98.5 % stands at row 14.8: the hold is the first segment at or above it.
    EXPECT_EQ(litRows(image, kInputX).max, std::set<int>{14});
    EXPECT_FALSE(isColor(image, kInputX, 10, kZones.max));
}

TEST(PeakMeterWindow, AClickOnASliderMovesItToTheClickedEnd) {
    FixedPeaks peaks;
    CPPMDrawWnd window(peaks);
    window.resize(kMeterSize);
    window.show();
    QSignalSpy outputMoves(&window, &CPPMDrawWnd::outputVolumeMoved);
    studio::controls::MediaSlider* output = window.outputSlider();
    QTest::mouseClick(output, Qt::LeftButton, {}, QPoint(9, 0));
    QTest::mouseClick(output, Qt::LeftButton, {}, QPoint(9, output->height() - 1));
    ASSERT_EQ(outputMoves.size(), 2);
    EXPECT_EQ(outputMoves.at(0).at(0).toInt(), 1000) << "the top is the maximum";
    EXPECT_EQ(outputMoves.at(1).at(0).toInt(), 0);
}

TEST(CpuGraph, DigitsOfTheLoads) {
    VirtualClock clock;
    ScriptedTimes times;
    times.system = {SystemCpuTimes{0, 0, 0}};
    CStatusGraphCtrl graph(times, clock, 5090);
    graph.resize(150, 25);
    // Each tick reads the machine's times, then the own sampler reads them with the process's.
    // The machine is busy all the time; the studio has 5 % of it in the second tick.
    times.system = {SystemCpuTimes{0, 100, 0}, SystemCpuTimes{0, 100, 0}, SystemCpuTimes{0, 200, 0},
                    SystemCpuTimes{0, 200, 0}};
    times.process = {ProcessCpuTimes{0, 0}, ProcessCpuTimes{5, 0}};
    graph.sample();
    clock.advance(1s);
    graph.sample();
    ASSERT_EQ(graph.graph().systemLoad(), 100);
    ASSERT_EQ(graph.graph().ownLoad(), 5);

    const QImage image = graph.grab().toImage();
    EXPECT_EQ(readDigit(image, {0, 0}), 1);
    EXPECT_EQ(readDigit(image, {9, 0}), 0);
    EXPECT_EQ(readDigit(image, {20, 0}), 0);
    EXPECT_EQ(readDigit(image, {30, 0}), std::nullopt);
    EXPECT_EQ(readDigit(image, {39, 0}), std::nullopt);
    EXPECT_EQ(readDigit(image, {50, 0}), 5);
    // The newest bar (at the right edge) shows the load of the tick before: 100 % of 25 rows.
    EXPECT_EQ(testing::rowsOf(image, 149, QColor(192, 192, 192)).size(), 25u);

    QSignalSpy clicks(&graph, &CStatusGraphCtrl::clicked);
    QTest::mouseClick(&graph, Qt::LeftButton);
    EXPECT_EQ(graph.graph().drawMode(), 1);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 5090);
}

TEST(ClockDisplay, ShowsTheDateAndTimeOfItsClock) {
    VirtualClock clock;
    clock.setLocalTime({2031, 7, 7, 13, 45, 9, 0});
    ScriptedTimes times;
    CDispalyWnd display(clock, times, 1, 5090);
    EXPECT_EQ(display.graph()->graph().drawMode(), 1);
    const QImage image = display.grab().toImage();
    const int expected[][2] = {{10, 0}, {20, 7},  {35, 0},  {45, 7},  {60, 3},  {70, 1},
                               {90, 1}, {100, 3}, {115, 4}, {125, 5}, {140, 0}, {150, 9}};
    for (const auto& [x, digit] : expected) {
        EXPECT_EQ(readDigit(image, {x, 8}), digit) << "at x = " << x;
    }
}

}  // namespace
}  // namespace qm::audio::views
