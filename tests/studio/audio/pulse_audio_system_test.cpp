#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "common/runtime/message_queue.h"
#include "platform/endpoints/endpoint_system.h"
#include "sim/sound/rig_sound.h"
#include "sim/sound/virtual_source.h"
#include "sim/virtual_rig.h"
#include "studio/audio/analysis_thread.h"
#include "studio/audio/audio_capture.h"
#include "studio/audio/audio_session_volume.h"
#include "studio/audio/capture_endpoint_lookup.h"
#include "studio/audio/pulse/pulse_audio_system.h"
#include "studio/audio/spectrum_probe.h"
#include "support/private_sound_server.h"

// The audio system against a real PulseAudio started by each test: a virtual microphone is a
// null sink with a remapped source that carries USB properties, fed with a tone by the test.
namespace qm::audio {
namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 20s;  // a safety net; every wait ends as soon as its condition holds

sdk::Guid containerOf(const std::string& serial) {
    return endpoints::usbDeviceContainerId("10C4", "EAB0", serial);
}

// Levels and streams report nothing to wait on, so these waits look every 10 ms.
template <typename Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Waits until `condition` holds, checking it again each time the server's endpoints change.
template <typename Condition>
bool afterEndpointChanges(AudioSystem& audio, Condition condition) {
    MessageQueue<bool> changes{Clock::real()};
    audio.setEndpointsChanged([&changes] { changes.post(true); });
    const TimePoint deadline = Clock::real().now() + kWait;
    bool held = static_cast<bool>(condition());
    while (!held && changes.waitUntil(deadline)) {
        held = static_cast<bool>(condition());
    }
    audio.setEndpointsChanged({});
    return held;
}

// An analysis thread on the real clock in real-time view that reports each step it makes with a
// new block.
struct SteppingAnalysis {
    explicit SteppingAnalysis(AnalysisState& state)
        : thread(state, settings, Clock::real(), [this](TimePoint, bool stepped) {
              if (stepped) {
                  steps.post(true);
              }
          }) {
        settings.setSpectrumView(1);
        thread.start();
    }
    // Waits for twelve more steps: the transform then sees only the sound of these blocks.
    bool twelveSteps() {
        for (int i = 0; i < 12; ++i) {
            if (!steps.waitUntil(Clock::real().now() + kWait)) {
                return false;
            }
        }
        return true;
    }

    SharedAnalysisSettings settings;
    MessageQueue<bool> steps{Clock::real()};
    AnalysisThread thread;
};

class PulseAudioSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server_.available()) {
            GTEST_SKIP() << "no sound server for this test: " << server_.why();
        }
        std::string error;
        microphone_ =
            sim::VirtualSource::create(server_.control(), {"SN1001", "Virtual Alder"}, 5s, error);
        ASSERT_NE(microphone_, nullptr) << error;
        ASSERT_TRUE(server_.addSink("speakers", "Speakers"));
        ASSERT_TRUE(server_.addSink("headset", "Headset"));
        // Another maker's USB microphone with the same serial, and a card found through sysfs.
        ASSERT_TRUE(server_.addSource("foreign",
                                      "device.bus=usb device.vendor.id=046d "
                                      "device.product.id=0a44 device.serial=SN1001"));
        ASSERT_TRUE(server_.addSource("card",
                                      "sysfs.path=/devices/usb1/1-4/1-4:1.0/sound/card2 "
                                      "device.bus=usb device.serial=Vendor_Model_SN1002"));
        ASSERT_TRUE(server_.addSource("pipewire", "api.alsa.card=3 device.bus=usb"));
        PulseAudioSystem::Options options;
        options.server = server_.address();
        options.containerIdOfSysfsDevice = [](std::string_view path) -> std::optional<sdk::Guid> {
            if (path == "/devices/usb1/1-4/1-4:1.0/sound/card2") {
                return containerOf("SN1002");
            }
            if (path == "/sys/class/sound/card3") {
                return containerOf("SN1003");
            }
            return std::nullopt;
        };
        audio_ = std::make_unique<PulseAudioSystem>(options);
        ASSERT_TRUE(audio_->available()) << audio_->error();
        renders_ = std::make_unique<CRenderDeviceList>(*audio_);
        capture_ = std::make_unique<AudioCapture>(*audio_, *renders_, analysis_);
    }

    // Capture of the virtual microphone, preview on "speakers", a 1 kHz tone feeding it.
    void startCapture() {
        tone_ = server_.playTone(microphone_->sinkName(), 1000.0, 0.5F);
        ASSERT_NE(tone_, nullptr);
        renders_->Enumerate();
        ASSERT_TRUE(renders_->Select("speakers"));
        capture_->StartCapture(microphone_->sourceName());
        ASSERT_TRUE(capture_->analysisRunning());
    }

    qm::testing::PrivateSoundServer server_;
    std::unique_ptr<sim::VirtualSource> microphone_;
    std::unique_ptr<pulse::PulsePlayer> tone_;
    std::unique_ptr<PulseAudioSystem> audio_;
    AnalysisState analysis_;
    std::unique_ptr<CRenderDeviceList> renders_;
    std::unique_ptr<AudioCapture> capture_;
};

TEST_F(PulseAudioSystemTest, FindsTheMicrophoneBySourceContainerIdAndNothingForOthers) {
    EXPECT_EQ(findCaptureEndpoint(*audio_, containerOf("SN1001")), microphone_->sourceName());
    EXPECT_EQ(findCaptureEndpoint(*audio_, containerOf("SN1002")), "card")
        << "a card's source is identified through its USB parent in sysfs";
    EXPECT_EQ(findCaptureEndpoint(*audio_, containerOf("SN1003")), "pipewire")
        << "or through its ALSA card";
    EXPECT_FALSE(findCaptureEndpoint(*audio_, containerOf("SN9999")));
    for (const CaptureEndpoint& endpoint : audio_->captureEndpoints()) {
        EXPECT_NE(endpoint.id, "speakers.monitor") << "monitors are not capture endpoints";
        if (endpoint.id == "foreign") {
            EXPECT_NE(endpoint.containerId, containerOf("SN1001"));
        }
    }

    // A source that appears later is found once the server has told about it.
    ASSERT_TRUE(server_.addSource("late",
                                  "device.bus=usb device.vendor.id=10c4 "
                                  "device.product.id=eab0 device.serial=SN1003"));
    EXPECT_TRUE(afterEndpointChanges(
        *audio_, [&] { return findCaptureEndpoint(*audio_, containerOf("SN1003")); }));
    microphone_.reset();
    EXPECT_TRUE(afterEndpointChanges(
        *audio_, [&] { return !findCaptureEndpoint(*audio_, containerOf("SN1001")); }));

    // The server names a new default sink once the one removed with the microphone is gone.
    ASSERT_TRUE(afterEndpointChanges(*audio_, [&] {
        renders_->Enumerate();
        return renders_->Count() >= 3;
    }));
    EXPECT_EQ(renders_->GetAt(0)->name, "Default");
}

TEST_F(PulseAudioSystemTest, AToneReachesTheAnalysisAsItsStrongestBin) {
    SteppingAnalysis stepping(analysis_);
    startCapture();
    ASSERT_TRUE(stepping.twelveSteps());
    stepping.thread.stop();
    std::size_t strongest = 0;
    analysis_.readSpectrum([&](std::span<const double, kFftSize> spectrum) {
        strongest = static_cast<std::size_t>(
            std::max_element(spectrum.begin(), spectrum.begin() + kFftSize / 2) - spectrum.begin());
    });
    EXPECT_EQ(strongest, 1000U * kFftSize / kSampleRate);  // bin 85
    EXPECT_TRUE(eventually([&] { return capture_->inputPeak() > 0.05F; }))
        << "the input meter follows the microphone";
}

TEST_F(PulseAudioSystemTest, ThePreviewPlaysOnTheChosenDeviceAndFollowsAChange) {
    capture_->setInputVolume(1.0F);
    startCapture();
    EXPECT_TRUE(eventually([&] { return capture_->outputPeak() > 0.1F; }))
        << "the preview reaches the speakers' monitor";

    capture_->ChangeOutputDevice("headset");
    EXPECT_TRUE(capture_->analysisRunning()) << "capture restarted at once";
    EXPECT_TRUE(eventually([&] { return capture_->outputPeak() > 0.1F; }))
        << "the output meter follows the new device, which plays the preview";
    const auto speakers = audio_->renderMeter("speakers");
    ASSERT_NE(speakers, nullptr);
    EXPECT_TRUE(eventually([&] { return speakers->GetPeakValue() == 0.0F; }))
        << "nothing plays on the old device";

    capture_->setPreview(false);
    EXPECT_TRUE(eventually([&] { return capture_->outputPeak() == 0.0F; }))
        << "preview off plays silence";
}

TEST_F(PulseAudioSystemTest, OutsideVolumeChangesAreReportedAndOurOwnAreNot) {
    MessageQueue<float> reported{Clock::real()};
    CAudioSessionVolume volume(audio_->renderSessionVolume(),
                               [&](float level, bool) { reported.post(level); });
    volume.EnableNotifications(true);
    volume.SetVolume(0.4F);  // before any stream: the stream starts at it
    startCapture();
    const auto previewAt = [&](float level) {
        const auto preview = server_.sinkInputNamed("Microphone preview");
        return preview && std::abs(preview->level - level) < 0.001F;
    };
    ASSERT_TRUE(eventually([&] { return previewAt(0.4F); }));

    volume.SetVolume(0.7F);
    ASSERT_TRUE(eventually([&] { return previewAt(0.7F); }));
    ASSERT_TRUE(
        server_.setSinkInputVolume(server_.sinkInputNamed("Microphone preview")->index, 0.3F));
    const std::optional<float> first = reported.waitUntil(Clock::real().now() + kWait);
    ASSERT_TRUE(first);
    EXPECT_NEAR(*first, 0.3F, 0.001F) << "the studio's own 0.7 did not come back first";
    EXPECT_NEAR(audio_->renderSessionVolume().GetMasterVolume(), 0.3F, 0.001F);
    EXPECT_FALSE(reported.tryPop());
}

// A virtual microphone of the simulator has a source that the studio finds through the
// microphone's container id, and its sound follows the microphone's DSP settings.
TEST(RigSoundOnPulse, AVirtualMicrophoneSoundsAsItsDspSettingsSay) {
    qm::testing::PrivateSoundServer server;
    if (!server.available()) {
        GTEST_SKIP() << "no sound server for this test: " << server.why();
    }
    std::string error;
    auto sound = sim::RigSound::connect(server.address(), error);
    ASSERT_NE(sound, nullptr) << error;
    sim::VirtualRig rig(Clock::real());
    rig.setPlugObserver([&](const std::shared_ptr<sim::VirtualMicrophone>& mic, bool plugged) {
        std::string reason;
        plugged ? (void)sound->plugged(mic, reason) : sound->unplugged(mic->identity().serial);
    });
    const auto mic = rig.plug("Cedar", "SN1002");
    PulseAudioSystem::Options options;
    options.server = server.address();
    PulseAudioSystem audio(options);
    const auto endpoint = findCaptureEndpoint(audio, mic->identity().containerId);
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(*endpoint, sound->sourceOf("SN1002"));

    AnalysisState analysis;
    SteppingAnalysis stepping(analysis);
    CRenderDeviceList renders(audio);
    AudioCapture capture(audio, renders, analysis);
    capture.StartCapture(*endpoint);
    // Energy above and below the filter's cut-off, of sound made with the current settings.
    const auto measure = [&] {
        stepping.steps.drain();
        EXPECT_TRUE(stepping.twelveSteps());
        return std::pair{qm::testing::bandEnergyDb(analysis, 6000, 16000),
                         qm::testing::bandEnergyDb(analysis, 400, 3600)};
    };
    const auto [highBefore, middleBefore] = measure();
    mic->updateSettings({{settings::Setting::LPF, 5}});  // 5000 Hz
    const auto [highAfter, middleAfter] = measure();
    EXPECT_LT(highAfter, highBefore - 10.0) << "energy above the cut-off falls";
    EXPECT_NEAR(middleAfter, middleBefore, 1.5) << "below it the sound stays";

    capture.StopCapture();
    rig.unplug("SN1002");
    EXPECT_TRUE(afterEndpointChanges(
        audio, [&] { return !findCaptureEndpoint(audio, mic->identity().containerId); }));
}

// The generator of a player runs on the connection's thread while the stream plays: ending the
// player stops those calls before the generator goes. The generator here, as it goes at the end,
// waits a moment for one more call and counts it.
TEST(PulsePlayerEnd, TheGeneratorIsNoLongerCalledOnceItGoes) {
    qm::testing::PrivateSoundServer server;
    if (!server.available()) {
        GTEST_SKIP() << "no sound server for this test: " << server.why();
    }
    // A listener on the fed source keeps the server asking for sound every few milliseconds.
    ASSERT_TRUE(server.addSource("probe", "device.description=Probe"));
    PulseAudioSystem::Options options;
    options.server = server.address();
    PulseAudioSystem audio(options);
    const auto listener = audio.openCapture("probe", [] {});
    ASSERT_NE(listener, nullptr);
    struct Witness {
        std::atomic<bool> armed{false};  // copies made while starting go unnoticed
        std::atomic<bool> going{false};
        std::atomic<int> callsWhileGoing{0};
        MessageQueue<bool> calls{Clock::real()};
    };
    struct Farewell {
        std::shared_ptr<Witness> witness;
        ~Farewell() {
            if (witness && witness->armed) {
                witness->going = true;
                witness->calls.drain();
                static_cast<void>(witness->calls.waitUntil(Clock::real().now() + 100ms));
            }
        }
    };
    const auto witness = std::make_shared<Witness>();
    auto player = pulse::PulsePlayer::start(
        server.control(), "probe_feed", "Farewell",
        [farewell = Farewell{witness}](std::span<float> frames) {
            std::fill(frames.begin(), frames.end(), 0.0F);
            farewell.witness->callsWhileGoing += farewell.witness->going ? 1 : 0;
            farewell.witness->calls.post(true);
        },
        {});
    ASSERT_NE(player, nullptr);
    // After its first fill the stream is asked for more only once the server plays steadily.
    for (int call = 0; call < 20; ++call) {
        ASSERT_TRUE(witness->calls.waitUntil(Clock::real().now() + kWait)) << "call " << call;
    }
    witness->armed = true;
    player.reset();
    EXPECT_EQ(witness->callsWhileGoing.load(), 0);
}

TEST(PulseAudioSystem, WithoutAServerNothingIsListedOrOpened) {
    qm::testing::TempFolder folder;
    PulseAudioSystem::Options options;
    options.server = "unix:" + (folder.path() / "none.sock").string();
    PulseAudioSystem audio(options);
    EXPECT_FALSE(audio.available());
    EXPECT_FALSE(audio.error().empty());
    EXPECT_TRUE(audio.captureEndpoints().empty());
    EXPECT_EQ(audio.openCapture("any", [] {}), nullptr);
    EXPECT_EQ(audio.openRender("any"), nullptr);
}

}  // namespace
}  // namespace qm::audio
