#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "studio/audio/audio_capture.h"
#include "studio/audio/audio_session_volume.h"
#include "studio/audio/fake_audio_system.h"
#include "studio/audio/preview_delay_line.h"
#include "studio/audio/render_device_list.h"

namespace qm::audio {
namespace {

using testing::FakeAudioSystem;
using testing::FakeCaptureStream;
using testing::FakeRenderStream;

// A stereo packet whose left channel counts from `first`; the right channel is never used.
std::vector<float> packet(std::size_t frames, float first) {
    std::vector<float> out(frames * kStreamChannels);
    for (std::size_t f = 0; f < frames; ++f) {
        out[2 * f] = first + static_cast<float>(f);
        out[2 * f + 1] = -1.0F;
    }
    return out;
}

TEST(PreviewDelayLine, BuildsBothChannelsFromChannelZeroAndRotatesByOneBlock) {
    PreviewDelayLine line;
    line.takePacket(packet(600, 1.0F), 2);  // a long packet: only 480 frames are used
    constexpr std::size_t kBlock = PreviewDelayLine::kBlockFloats;
    // Quarter order after a packet: oldest, newest, the one before, the one before that.
    EXPECT_EQ(line.line()[kBlock], 1.0F);
    EXPECT_EQ(line.line()[kBlock + 1], 1.0F) << "left copied to right";
    EXPECT_EQ(line.line()[2 * kBlock - 1], 480.0F);

    line.takePacket(packet(100, 1000.0F), 2);  // a short packet: the block is zero beyond it
    EXPECT_EQ(line.line()[kBlock], 1000.0F);
    EXPECT_EQ(line.line()[kBlock + 2 * 99], 1099.0F);
    EXPECT_EQ(line.line()[kBlock + 2 * 100], 0.0F);
    EXPECT_EQ(line.line()[2 * kBlock], 1.0F) << "the block before moved one quarter on";
}

TEST(PreviewDelayLine, RendersAtMost960FramesOfTheEarlierBlocksSilentWhenPreviewIsOff) {
    PreviewDelayLine line;
    line.takePacket(packet(480, 1.0F), 2);
    line.takePacket(packet(480, 1000.0F), 2);
    FakeRenderStream stream;

    stream.setFreeFrames(4000);
    line.render(stream, true);
    stream.setFreeFrames(10);
    line.render(stream, false);
    stream.setFreeFrames(0);
    line.render(stream, true);
    stream.setFreeFrames(std::nullopt);
    line.render(stream, true);

    const auto writes = stream.writes();
    ASSERT_EQ(writes.size(), 2U) << "no write without free frames";
    EXPECT_EQ(writes[0].frames.size(), 960U * 2) << "more than 960 free frames get 960";
    EXPECT_EQ(writes[0].frames[0], 1.0F) << "the block captured one packet earlier comes first";
    EXPECT_EQ(writes[0].frames[2 * 480], 0.0F) << "then the one before it";
    EXPECT_FALSE(writes[0].silent);
    EXPECT_EQ(writes[1].frames.size(), 10U * 2);
    EXPECT_TRUE(writes[1].silent) << "preview off: the stream keeps running on silence";
}

class AudioCaptureTest : public ::testing::Test {
  protected:
    AudioCaptureTest() {
        audio_.captures = {{"mic", "Microphone", std::nullopt}};
        audio_.renders = {{"speakers", "Speakers"}, {"headset", "Headset"}};
        renders_.Enumerate();
        renders_.Select(renders_.GetAt(0)->endpointId);
    }

    // Both capture streams of the endpoint (the n-th pair opened on it).
    std::array<FakeCaptureStream*, 2> streams(std::size_t pair = 0) {
        return {audio_.waitCaptureStream("mic", 2 * pair),
                audio_.waitCaptureStream("mic", 2 * pair + 1)};
    }
    // The same packet to both threads; returns once both have taken it.
    void feed(const std::array<FakeCaptureStream*, 2>& both, const std::vector<float>& frames,
              int count) {
        for (FakeCaptureStream* stream : both) {
            ASSERT_NE(stream, nullptr);
            stream->push(frames);
        }
        for (FakeCaptureStream* stream : both) {
            ASSERT_TRUE(stream->waitHandled(count));
        }
    }
    FakeRenderStream& render(std::size_t n = 0) { return *audio_.renderStreams.at(n).second; }

    FakeAudioSystem audio_;
    AnalysisState analysis_;
    CRenderDeviceList renders_{audio_};
    AudioCapture capture_{audio_, renders_, analysis_};
};

TEST_F(AudioCaptureTest, PacketsReachTheAnalysisAndThePreviewOnePacketLate) {
    capture_.setInputVolume(0.25F);
    capture_.StartCapture("mic");
    const auto both = streams();
    feed(both, packet(480, 1.0F), 1);
    feed(both, packet(100, 1000.0F), 2);  // short: the analysis block keeps its older tail

    std::array<double, kBlockSize> block{};
    ASSERT_TRUE(analysis_.takeBlock(block));
    EXPECT_EQ(block[0], 1000.0);
    EXPECT_EQ(block[479], 480.0);

    ASSERT_TRUE(render().waitWrites(2));
    const auto writes = render().writes();
    EXPECT_EQ(writes[1].frames[0], 1.0F) << "the second write plays the first packet";
    EXPECT_EQ(writes[1].frames[1], 1.0F);
    for (FakeCaptureStream* stream : both) {
        EXPECT_EQ(stream->volumes(), std::vector<float>{0.25F}) << "streams start at VolumeInput";
    }

    capture_.setPreview(false);
    feed(both, packet(480, 2.0F), 3);
    ASSERT_TRUE(render().waitWrites(3));
    EXPECT_TRUE(render().writes()[2].silent);

    capture_.setInputVolume(0.75F);
    for (FakeCaptureStream* stream : both) {
        ASSERT_TRUE(stream->waitVolumes(2));
        EXPECT_EQ(stream->volumes().back(), 0.75F);
    }
}

TEST_F(AudioCaptureTest, StoppingClosesBothStreamsAndClearsTheAnalysis) {
    capture_.StartCapture("mic");
    const auto both = streams();
    feed(both, packet(480, 1.0F), 1);
    capture_.StopCapture();
    EXPECT_FALSE(capture_.previewRunning());
    EXPECT_FALSE(capture_.analysisRunning());
    EXPECT_TRUE(audio_.waitAllCapturesClosed());
    std::array<double, kBlockSize> block{};
    ASSERT_TRUE(analysis_.takeBlock(block)) << "a reset marks the zeroed block ready";
    EXPECT_EQ(block[0], 0.0);
}

TEST_F(AudioCaptureTest, AFailedStreamEndsItsThreadQuietlyAndCaptureCanStartAgain) {
    capture_.StartCapture("mic");
    auto both = streams();
    both[0]->fail();
    both[1]->fail();
    ASSERT_TRUE(audio_.waitAllCapturesClosed());
    capture_.StartCapture("mic");
    both = streams(1);
    feed(both, packet(480, 5.0F), 1);
    EXPECT_TRUE(capture_.analysisRunning());
}

TEST_F(AudioCaptureTest, WithoutAnInputMeterNoThreadStarts) {
    audio_.meterWorks = false;
    capture_.StartCapture("mic");
    EXPECT_FALSE(capture_.previewRunning());
    EXPECT_EQ(audio_.openCaptureCount(), 0);
    EXPECT_EQ(capture_.inputPeak(), 0.0F);
}

TEST_F(AudioCaptureTest, ChangingTheOutputDeviceRestartsCaptureOnTheNewStream) {
    capture_.StartCapture("mic");
    streams();
    audio_.meter("out:speakers")->peak = 0.5F;
    EXPECT_EQ(capture_.outputPeak(), 0.5F);

    capture_.ChangeOutputDevice("headset");
    ASSERT_EQ(audio_.renderStreams.size(), 2U);
    EXPECT_EQ(audio_.renderStreams[1].first, "headset");
    EXPECT_EQ(capture_.outputPeak(), 0.0F) << "the output meter follows the device";
    const auto both = streams(1);
    feed(both, packet(480, 1.0F), 1);
    EXPECT_TRUE(render(1).waitWrites(1));
    EXPECT_TRUE(render(0).writes().empty()) << "the old stream got nothing";
    audio_.meter("mic")->peak = 0.25F;
    EXPECT_EQ(capture_.inputPeak(), 0.25F);
}

TEST(CRenderDeviceList, ListsDefaultFirstThenTheDevicesByName) {
    FakeAudioSystem audio;
    CRenderDeviceList list(audio);
    list.Enumerate();
    EXPECT_EQ(list.Count(), 0U) << "no default endpoint, no list";
    EXPECT_FALSE(list.Select(std::nullopt)) << "nothing selected";

    audio.renders = {{"a", "Speakers"}, {"b", "Headset"}};
    list.Enumerate();
    ASSERT_EQ(list.Count(), 3U);
    EXPECT_EQ(list.GetAt(0)->name, "Default");
    EXPECT_EQ(list.GetAt(0)->endpointId, "a");
    EXPECT_EQ(list.GetAt(2)->name, "Headset");
    EXPECT_FALSE(list.GetAt(3));
    EXPECT_TRUE(list.Select("b"));
    EXPECT_TRUE(list.Select(std::nullopt)) << "re-opens on the endpoint selected before";
    EXPECT_EQ(audio.renderStreams.back().first, "b");
}

TEST(CAudioSessionVolume, ReportsOnlyChangesMadeOutsideTheStudio) {
    FakeAudioSystem audio;
    std::vector<float> reported;
    CAudioSessionVolume volume(audio.renderSessionVolume(),
                               [&](float level, bool) { reported.push_back(level); });
    audio.session.changeFromOutside(0.1F);
    volume.EnableNotifications(true);
    volume.SetVolume(0.3F);
    audio.session.changeFromOutside(0.6F);
    volume.EnableNotifications(false);
    audio.session.changeFromOutside(0.9F);
    EXPECT_EQ(reported, std::vector<float>{0.6F});
    EXPECT_EQ(audio.session.GetMasterVolume(), 0.9F);
}

}  // namespace
}  // namespace qm::audio
