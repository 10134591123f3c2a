#include <gtest/gtest.h>

#include <QComboBox>
#include <QSignalSpy>

#include "platform/endpoints/endpoint_system.h"
#include "studio/audio/fake_audio_system.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/shell/audio_monitoring.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/frame_fixture.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_keys.h"

// The studio's audio side on a fake audio system: the output device combo, the selection's
// capture, the preview switch and the volumes as the frame uses them; none of it calls the
// service on the GUI thread.
namespace qm::studio::testing {
namespace {

// The frame's studio with the audio monitoring as its endpoints and monitoring hooks; the Cedar
// is started but has no source on the sound server.
class AudioMonitoringTest : public FrameFixture {
  protected:
    AudioMonitoringTest() {
        audio_.renders = {{"speakers", "Speakers"}, {"headset", "Headset"}};
        audio_.captures = {
            {"src", "Alder microphone", endpoints::usbDeviceContainerId("10C4", "EAB0", "SN1001")}};
        cedar_->started = true;
    }
    // The studio ends before the monitoring it uses.
    ~AudioMonitoringTest() override { app_.reset(); }

    void adjust(StudioEnvironment& environment) override {
        environment.hooks.endpoints = &monitoring_;
        environment.hooks.monitoring = &monitoring_;
        environment.frameCreated = [this](CMainFrame& frame) { monitoring_.attach(frame, *app_); };
    }
    QComboBox& combo() {
        return *app_->mainFrame()->ribbon()->controlAs<QComboBox>(ids::kOutputDevice);
    }

    audio::testing::FakeAudioSystem audio_;
    audio::AnalysisState analysis_;
    AudioMonitoring monitoring_{audio_, analysis_};
};

TEST_F(AudioMonitoringTest, TheOutputsAreListedAndThePreviewPlaysOnDefaultAtTheStoredVolume) {
    {
        controls::RegistryManager before(*registry_.store, registry::Hive::CurrentUser,
                                         keys::kUserRoot);
        ASSERT_TRUE(before.writeProfileDouble(keys::kOptions, "VolumeOutput", 0.3));
    }
    CMainFrame& frame = start();
    EXPECT_EQ(combo().count(), 0) << "no microphone selected, no list";
    frame.sourcePane()->list()->selectDevice("SN1001");
    ASSERT_EQ(combo().count(), 3);
    EXPECT_EQ(combo().itemText(0), QStringLiteral("Default"));
    EXPECT_EQ(combo().itemText(2), QStringLiteral("Headset"));
    EXPECT_EQ(combo().currentIndex(), 0);
    ASSERT_EQ(audio_.renderStreams.size(), 1U);
    EXPECT_EQ(audio_.renderStreams[0].first, "speakers");
    EXPECT_FLOAT_EQ(audio_.session.GetMasterVolume(), 0.3F);
}

TEST_F(AudioMonitoringTest, AMicrophoneWithASourceGetsItsTabsAndIsCapturedOnTheChosenOutput) {
    CMainFrame& frame = start();
    frame.sourcePane()->list()->selectDevice("SN1002");
    EXPECT_FALSE(parts_.called("loadPanels 23")) << "no source: the tabs stay disabled";
    EXPECT_EQ(audio_.openCaptureCount(), 0);

    frame.sourcePane()->list()->selectDevice("SN1001");
    EXPECT_TRUE(parts_.called("loadPanels 15"));
    EXPECT_NE(audio_.waitCaptureStream("src", 1), nullptr) << "both capture threads run";

    frame.onComboSelected(ids::kOutputDevice, 2, 0);
    EXPECT_EQ(audio_.renderStreams.back().first, "headset");
    EXPECT_EQ(combo().currentIndex(), 2) << "the refilled list still shows the choice";
    EXPECT_NE(audio_.waitCaptureStream("src", 3), nullptr) << "capture restarted";
}

TEST_F(AudioMonitoringTest, VolumesAndPreviewReachTheAudioAndAreStored) {
    CMainFrame& frame = start();
    frame.sourcePane()->list()->selectDevice("SN1001");
    QSignalSpy shown(&monitoring_, &AudioMonitoring::outputVolumeShown);

    monitoring_.outputVolumeMoved(700);
    deliver();
    EXPECT_FLOAT_EQ(audio_.session.GetMasterVolume(), 0.7F);
    EXPECT_EQ(manager().getProfileDouble(keys::kOptions, "VolumeOutput"), 0.7F);
    EXPECT_EQ(shown.count(), 0) << "the studio's own change does not come back";

    audio_.session.changeFromOutside(0.25F);
    deliver();
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown[0][0].toInt(), 250);
    EXPECT_FLOAT_EQ(app_->settings().volumeOutput, 0.25F);

    monitoring_.inputVolumeMoved(400);
    EXPECT_EQ(manager().getProfileDouble(keys::kOptions, "VolumeInput"), 0.4F);
    audio::testing::FakeCaptureStream* stream = audio_.waitCaptureStream("src");
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(stream->waitVolumes(2));
    EXPECT_FLOAT_EQ(stream->volumes().back(), 0.4F);

    EXPECT_TRUE(monitoring_.capture().preview());
    frame.ribbon()->triggerCommand(ids::kPreview);
    EXPECT_FALSE(monitoring_.capture().preview());
    EXPECT_EQ(manager().getProfileInt(keys::kSettings, "Preview"), 0U);
}

}  // namespace
}  // namespace qm::studio::testing
