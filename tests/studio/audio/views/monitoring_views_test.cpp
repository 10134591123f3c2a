#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "common/runtime/virtual_clock.h"
#include "studio/audio/scripted_cpu_times.h"
#include "studio/audio/views/monitoring_views.h"
#include "studio/audio/views/status_graph_ctrl.h"
#include "studio/audio/views/view_style.h"
#include "studio/controls/media_slider.h"
#include "studio/shell/studio_settings.h"

namespace qm::audio::views {
namespace {

// Four empty places with layouts, as the main frame has them.
struct Places {
    Places() {
        for (QWidget* place : {&waveform, &spectrum, &meter, &display}) {
            auto* layout = new QVBoxLayout(place);
            layout->setContentsMargins(0, 0, 0, 0);
        }
    }
    MonitoringPlaces places() { return {&waveform, &spectrum, &meter, &display}; }
    QWidget waveform, spectrum, meter, display;
};

class MonitoringViewsTest : public ::testing::Test {
  protected:
    VirtualClock clock_;
    AudioAnalysis analysis_{clock_};
    NoPeakLevels peaks_;
    ScriptedTimes cpu_;
    MonitoringViews views_{analysis_, peaks_, clock_, cpu_};
    Places places_;
    studio::StudioSettings settings_;
};

TEST_F(MonitoringViewsTest, ViewsTakeTheirPlacesAndTheStoredSettingsAndRunBetweenStartAndStop) {
    settings_.waveScale = 24;
    settings_.spectrumBound = 60;
    settings_.colorWaveform = 0x0000FF;
    settings_.volumeInput = 0.25F;
    settings_.volumeOutput = 0.75F;
    settings_.graphCpu = 1;
    views_.attach(places_.places(), settings_);

    EXPECT_EQ(views_.waveform()->parentWidget(), &places_.waveform);
    EXPECT_EQ(views_.spectrum()->parentWidget(), &places_.spectrum);
    EXPECT_EQ(views_.peakMeter()->parentWidget(), &places_.meter);
    EXPECT_EQ(views_.display()->parentWidget(), &places_.display);
    EXPECT_EQ(analysis_.settings().snapshot().WaveScale, 24);
    EXPECT_EQ(views_.waveform()->drawWnd()->look().scale, 24);
    EXPECT_EQ(views_.spectrum()->drawWnd()->look().bound, 60);
    EXPECT_EQ(views_.peakMeter()->inputSlider()->value(), 250);
    EXPECT_EQ(views_.peakMeter()->outputSlider()->value(), 750);
    EXPECT_EQ(views_.display()->graph()->graph().drawMode(), 1);

    EXPECT_FALSE(analysis_.running());
    views_.start();
    EXPECT_TRUE(analysis_.running());
    views_.stop();
    EXPECT_FALSE(analysis_.running());
}

TEST_F(MonitoringViewsTest, AChangedSettingReachesTheAnalysisAndTheWindowsAtOnce) {
    views_.attach(places_.places(), settings_);
    settings_.windowFunc = 2;
    settings_.spectrumView = 8;
    settings_.waveScale = 1;
    settings_.test = 1;
    settings_.waveMode = 1;
    settings_.spectrumMode = 0;
    settings_.spectrumLabel = 5;
    settings_.spectrumBound = 20;
    views_.viewSettingsChanged();

    const AnalysisSettings analysis = analysis_.settings().snapshot();
    EXPECT_EQ(analysis.WindowFunc, 2);
    EXPECT_EQ(analysis.SpectrumView, 8);
    EXPECT_EQ(analysis.WaveScale, 1);
    EXPECT_EQ(analysis.Test, 1);
    const WaveformLook wave = views_.waveform()->drawWnd()->look();
    EXPECT_EQ(wave.mode, 1);
    EXPECT_EQ(wave.scale, 1);
    const SpectrumLook spectrum = views_.spectrum()->drawWnd()->look();
    EXPECT_EQ(spectrum.mode, 0);
    EXPECT_EQ(spectrum.markers, 5);
    EXPECT_EQ(spectrum.bound, 20);
}

TEST_F(MonitoringViewsTest, SlidersReportTheUsersMovesOnly) {
    views_.attach(places_.places(), settings_);
    QSignalSpy outputMoves(&views_, &MonitoringViews::outputVolumeMoved);
    QSignalSpy inputMoves(&views_, &MonitoringViews::inputVolumeMoved);
    views_.showOutputPosition(900);
    EXPECT_EQ(views_.peakMeter()->outputSlider()->value(), 900);
    EXPECT_TRUE(outputMoves.isEmpty());
    QTest::keyClick(views_.peakMeter()->outputSlider(), Qt::Key_PageDown);
    QTest::keyClick(views_.peakMeter()->inputSlider(), Qt::Key_PageDown);
    ASSERT_EQ(outputMoves.size(), 1);
    EXPECT_EQ(outputMoves.at(0).at(0).toInt(), 800);
    ASSERT_EQ(inputMoves.size(), 1);
    EXPECT_EQ(inputMoves.at(0).at(0).toInt(), 400);
}

TEST_F(MonitoringViewsTest, ThePanelsFilterAndEqualiserSettingsAreMarkedOnTheSpectrum) {
    views_.attach(places_.places(), settings_);
    studio::panels::FilterMarks panels;
    panels.lpfHz = 5000;
    panels.hpf2Hz = 100;
    panels.bands = {{2, 1000, 200, 60, false}, {4, 2000, 100, 0, true}};
    views_.showFilterMarks(panels);

    const SettingMarks& marks = views_.spectrum()->drawWnd()->settingMarks();
    const std::vector<SettingMark> expected = {
        {1, 5000, 0, "LPF"}, {4, 100, 0, "HPF2"}, {8, 1000, 200, "EQ2"}, {8, 2000, 100, "EQ4"}};
    EXPECT_EQ(std::vector<SettingMark>(marks.begin(), marks.end()), expected);

    views_.showFilterMarks({});  // no microphone: no panel shown
    EXPECT_EQ(views_.spectrum()->drawWnd()->settingMarks().count, 0U);
}

}  // namespace
}  // namespace qm::audio::views
