#pragma once

#include <pulse/stream.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_stream_handle.h"
#include "studio/audio/audio_system.h"
#include "studio/audio/pulse/pulse_session_volume.h"

// The streams of the audio system on the sound server. Each is opened without waiting: it runs
// once the server has set it up, and reports its end (the device went away, the server ended).
// Streams never follow another device: a stream whose device is gone ends.
namespace qm::audio {

// Captures a source as float stereo at 48 kHz in packets of 480 frames (10 ms).
class PulseCaptureStream final : public CaptureStream {
  public:
    static std::unique_ptr<PulseCaptureStream> open(
        std::shared_ptr<pulse::PulseConnection> connection, const std::string& source,
        std::function<void()> wake);

    Read readPacket(std::vector<float>& frames) override;
    void SetMasterVolume(float level) override;

  private:
    PulseCaptureStream(std::shared_ptr<pulse::PulseConnection> connection,
                       std::function<void()> wake);
    static void onState(pa_stream* stream, void* self);
    static void onRead(pa_stream* stream, std::size_t bytes, void* self);
    void applyVolume();

    std::function<void()> wake_;
    std::optional<float> volume_;  // under the lock; applied once the stream runs
    // Last, so that it goes first: no callback runs once the members it uses are gone.
    pulse::PulseStreamHandle handle_;
};

// Plays float stereo at 48 kHz to a sink with about 10 ms queued, at the session's volume.
class PulseRenderStream final : public RenderStream {
  public:
    static std::unique_ptr<PulseRenderStream> open(
        std::shared_ptr<pulse::PulseConnection> connection, const std::string& sink,
        std::shared_ptr<PulseSessionVolume> session);
    ~PulseRenderStream() override;

    std::optional<std::size_t> freeFrames() override;
    bool write(std::span<const float> frames, bool silent) override;

  private:
    PulseRenderStream(std::shared_ptr<pulse::PulseConnection> connection,
                      std::shared_ptr<PulseSessionVolume> session);
    static void onState(pa_stream* stream, void* self);

    pulse::PulseStreamHandle handle_;
    std::shared_ptr<PulseSessionVolume> session_;
    std::uint32_t sinkInput_ = PA_INVALID_INDEX;  // under the lock
    pa_volume_t openedAt_ = PA_VOLUME_NORM;
    std::vector<float> silence_;
};

// The peak level of a source (for a sink: of its monitor), as the server measures it 25 times a
// second on a stream of its own.
class PulsePeakMeter final : public PeakMeter {
  public:
    static std::shared_ptr<PulsePeakMeter> open(std::shared_ptr<pulse::PulseConnection> connection,
                                                const std::string& source);
    float GetPeakValue() const override { return peak_.load(); }

  private:
    explicit PulsePeakMeter(std::shared_ptr<pulse::PulseConnection> connection);
    static void onState(pa_stream* stream, void* self);
    static void onRead(pa_stream* stream, std::size_t bytes, void* self);

    std::atomic<float> peak_{0.0F};
    pulse::PulseStreamHandle handle_;  // last: goes first, before what its callbacks use
};

}  // namespace qm::audio
