// The studio with its real audio system against the real service: a private bus, qmMicHost
// serving virtual microphones whose sound plays on a private PulseAudio, and the studio's
// application object on the offscreen platform capturing that sound.
#include <gtest/gtest.h>

#include <QScopeGuard>
#include <chrono>

#include "platform/endpoints/endpoint_system.h"
#include "studio/audio/audio_analysis.h"
#include "studio/audio/capture_endpoint_lookup.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/pulse/pulse_audio_system.h"
#include "studio/audio/spectrum_probe.h"
#include "studio/audio/views/monitoring_views.h"
#include "studio/controls/registry_manager.h"
#include "studio/shell/audio_monitoring.h"
#include "studio/shell/studio_keys.h"
#include "studio_fixture.h"
#include "support/private_sound_server.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;

class StudioSound : public StudioAgainstServiceTest {
  protected:
    // The service lets go of its sound before the server goes.
    ~StudioSound() override {
        if (service_) {
            service_->terminate();
        }
    }

    qm::testing::PrivateSoundServer sound_;
};

TEST_F(StudioSound, ASelectedMicrophoneIsHeardAndItsLowPassFilterShowsInTheSpectrum) {
    if (!sound_.available()) {
        GTEST_SKIP() << "no sound server for this test: " << sound_.why();
    }
    ASSERT_NO_FATAL_FAILURE(
        startService("Alder:SN1001,Cedar:SN1002", {"--sound", sound_.address()}));

    // The studio as main() puts it together, on the private servers.
    audio::PulseAudioSystem::Options options;
    options.server = sound_.address();
    audio::PulseAudioSystem audio(options);
    ASSERT_TRUE(audio.available()) << audio.error();
    const sdk::Guid cedar = endpoints::usbDeviceContainerId("10C4", "EAB0", "SN1002");
    ASSERT_TRUE(
        pumpUntil([&] { return audio::findCaptureEndpoint(audio, cedar).has_value(); }, 20s))
        << "the service gives its virtual microphones a source";
    audio::AudioAnalysis analysis;
    AudioMonitoring monitoring(audio, analysis.state());
    audio::ProcCpuTimes cpuTimes;
    audio::views::MonitoringViews views(analysis, monitoring.capture(), qm::Clock::real(),
                                        cpuTimes);
    RecordingParts parts;  // the panel calls, with the mask of the tabs the selection enables
    RecordingPanels panels{parts};
    const auto endStudio = qScopeGuard([this] { app_.reset(); });  // before the parts it uses
    // The real-time spectrum: each block's own, so that a change shows at once.
    controls::RegistryManager(*studioRegistry_.store, registry::Hive::CurrentUser, keys::kUserRoot)
        .writeProfileInt(keys::kSettings, "SpectrumView", 1);
    startStudio([&](StudioEnvironment& environment) {
        environment.hooks.endpoints = &monitoring;
        environment.hooks.monitoring = &monitoring;
        environment.hooks.analysis = &views;
        environment.hooks.panels = &panels;
        environment.frameCreated = [&](CMainFrame& frame) {
            views.attach(frame, app_->settings());
            monitoring.attach(frame, *app_);
        };
    });
    ASSERT_TRUE(pumpUntil([&] { return list().containsDevice("SN1002"); }, 20s));

    ASSERT_TRUE(list().selectDevice("SN1002"));
    EXPECT_EQ(parts.calls.back(), "loadPanels 23") << "a Cedar's tabs are enabled";
    EXPECT_TRUE(monitoring.capture().analysisRunning());

    // Energy above the low-pass filter's 5 kHz against the band below it, from one spectrum.
    const auto topAgainstMiddle = [&] {
        return qm::testing::bandEnergyDb(analysis.state(), 6000, 16000) -
               qm::testing::bandEnergyDb(analysis.state(), 400, 3600);
    };
    const auto heard = [&] { return qm::testing::bandEnergyDb(analysis.state(), 400, 3600) > -60; };
    ASSERT_TRUE(pumpUntil([&] { return heard() && topAgainstMiddle() > -3.0; }, 20s))
        << "the analysis receives the microphone's whole band: " << topAgainstMiddle() << " dB";
    const double before = topAgainstMiddle();
    EXPECT_TRUE(pumpUntil([&] { return monitoring.capture().inputPeak() > 0.0F; }, 20s))
        << "the input meter shows the microphone";

    qm::testing::ChildProcess::Options emptyEnvironment;
    emptyEnvironment.environment.emplace();
    qm::testing::ChildProcess qmctl(
        {QM_QMCTL_PATH, "--bus", bus_.address(), "set", "SN1002", "LPF", "5"}, emptyEnvironment);
    ASSERT_EQ(qmctl.waitForExit(20s), 0);
    EXPECT_TRUE(pumpUntil([&] { return heard() && topAgainstMiddle() < before - 10.0; }, 20s))
        << "energy above the cut-off: " << before << " dB before, " << topAgainstMiddle()
        << " dB now, against the band below";

    list().selectDevice("SN1001");
    EXPECT_EQ(parts.calls.back(), "loadPanels 15") << "an Alder's tabs";
}

}  // namespace
}  // namespace qm::studio::testing
