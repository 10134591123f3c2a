#include "studio/audio/pulse/pulse_streams.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "studio/audio/analysis_sizes.h"

namespace qm::audio {
namespace {

using pulse::bufferAttributes;
using pulse::kServerChooses;
using pulse::PulseConnection;

constexpr std::size_t kFrameBytes = kStreamChannels * sizeof(float);
// 480 frames: capture packets of 10 ms, and about 10 ms queued for playback.
constexpr auto kPacketBytes = static_cast<std::uint32_t>(kBlockSize * kFrameBytes);
constexpr std::uint32_t kPeakRate = 25;

// What every stream asks for; the server converts from whatever the device runs at.
constexpr pa_sample_spec kStreamSpec{PA_SAMPLE_FLOAT32LE, kStreamRate, kStreamChannels};
constexpr pa_sample_spec kPeakSpec{PA_SAMPLE_FLOAT32LE, kPeakRate, 1};

}  // namespace

// --- capture ---

PulseCaptureStream::PulseCaptureStream(std::shared_ptr<PulseConnection> connection,
                                       std::function<void()> wake)
    : wake_(std::move(wake)), handle_(std::move(connection), "Microphone capture", kStreamSpec) {}

std::unique_ptr<PulseCaptureStream> PulseCaptureStream::open(
    std::shared_ptr<PulseConnection> connection, const std::string& source,
    std::function<void()> wake) {
    std::unique_ptr<PulseCaptureStream> stream(
        new PulseCaptureStream(std::move(connection), std::move(wake)));
    pa_stream* s = stream->handle_.get();
    if (s == nullptr) {
        return nullptr;
    }
    PulseConnection::Lock lock(stream->handle_.connection());
    pa_stream_set_state_callback(s, &PulseCaptureStream::onState, stream.get());
    pa_stream_set_read_callback(s, &PulseCaptureStream::onRead, stream.get());
    const pa_buffer_attr attributes = bufferAttributes(kPacketBytes, kServerChooses);
    if (pa_stream_connect_record(
            s, source.c_str(), &attributes,
            static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE)) < 0) {
        return nullptr;
    }
    return stream;
}

void PulseCaptureStream::onState(pa_stream* stream, void* self) {
    auto* capture = static_cast<PulseCaptureStream*>(self);
    if (pa_stream_get_state(stream) == PA_STREAM_READY) {
        capture->applyVolume();
    }
    capture->wake_();
}

void PulseCaptureStream::onRead(pa_stream*, std::size_t, void* self) {
    static_cast<PulseCaptureStream*>(self)->wake_();
}

CaptureStream::Read PulseCaptureStream::readPacket(std::vector<float>& frames) {
    PulseConnection::Lock lock(handle_.connection());
    const pa_stream_state_t state = handle_.state();
    if (!PA_STREAM_IS_GOOD(state)) {
        return Read::Failed;
    }
    if (state != PA_STREAM_READY) {
        return Read::Empty;
    }
    const void* data = nullptr;
    std::size_t bytes = 0;
    if (pa_stream_peek(handle_.get(), &data, &bytes) < 0) {
        return Read::Failed;
    }
    if (bytes == 0) {
        return Read::Empty;
    }
    // Copied while the lock holds: the server may take the buffer back once it is released.
    frames.resize(bytes / kFrameBytes * kStreamChannels);
    if (data != nullptr) {
        std::memcpy(frames.data(), data, frames.size() * sizeof(float));
    } else {
        std::fill(frames.begin(), frames.end(), 0.0F);  // a gap in the stream plays as silence
    }
    pa_stream_drop(handle_.get());
    return Read::Packet;
}

void PulseCaptureStream::SetMasterVolume(float level) {
    PulseConnection::Lock lock(handle_.connection());
    volume_ = level;
    if (handle_.state() == PA_STREAM_READY) {
        applyVolume();
    }
}

void PulseCaptureStream::applyVolume() {
    if (!volume_) {
        return;
    }
    pa_cvolume volumes;
    pa_cvolume_set(&volumes, kStreamChannels, pulse::volumeFromLevel(*volume_));
    if (pa_operation* operation = pa_context_set_source_output_volume(
            handle_.connection().context(), pa_stream_get_index(handle_.get()), &volumes, nullptr,
            nullptr)) {
        pa_operation_unref(operation);
    }
}

// --- render ---

PulseRenderStream::PulseRenderStream(std::shared_ptr<PulseConnection> connection,
                                     std::shared_ptr<PulseSessionVolume> session)
    : handle_(std::move(connection), "Microphone preview", kStreamSpec),
      session_(std::move(session)) {}

std::unique_ptr<PulseRenderStream> PulseRenderStream::open(
    std::shared_ptr<PulseConnection> connection, const std::string& sink,
    std::shared_ptr<PulseSessionVolume> session) {
    std::unique_ptr<PulseRenderStream> stream(
        new PulseRenderStream(std::move(connection), std::move(session)));
    pa_stream* s = stream->handle_.get();
    if (s == nullptr) {
        return nullptr;
    }
    PulseConnection::Lock lock(stream->handle_.connection());
    pa_stream_set_state_callback(s, &PulseRenderStream::onState, stream.get());
    const pa_buffer_attr attributes = bufferAttributes(kServerChooses, kPacketBytes);
    stream->openedAt_ = stream->session_->streamVolume();
    pa_cvolume volume;
    pa_cvolume_set(&volume, kStreamChannels, stream->openedAt_);
    if (pa_stream_connect_playback(
            s, sink.c_str(), &attributes,
            static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE), &volume,
            nullptr) < 0) {
        return nullptr;
    }
    return stream;
}

PulseRenderStream::~PulseRenderStream() {
    PulseConnection::Lock lock(handle_.connection());
    if (handle_.get() != nullptr) {
        pa_stream_set_state_callback(handle_.get(), nullptr, nullptr);
    }
    session_->detach(sinkInput_);
}

void PulseRenderStream::onState(pa_stream* stream, void* self) {
    auto* render = static_cast<PulseRenderStream*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY) {
        render->sinkInput_ = pa_stream_get_index(stream);
        render->session_->attach(render->sinkInput_, render->openedAt_);
    } else if (!PA_STREAM_IS_GOOD(state)) {
        render->session_->detach(render->sinkInput_);
    }
}

std::optional<std::size_t> PulseRenderStream::freeFrames() {
    PulseConnection::Lock lock(handle_.connection());
    if (handle_.state() != PA_STREAM_READY) {
        return std::nullopt;
    }
    const std::size_t bytes = pa_stream_writable_size(handle_.get());
    if (bytes == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    return bytes / kFrameBytes;
}

bool PulseRenderStream::write(std::span<const float> frames, bool silent) {
    const std::size_t whole = frames.size() - frames.size() % kStreamChannels;
    if (silent) {
        if (silence_.size() < whole) {
            silence_.assign(whole, 0.0F);
        }
        frames = std::span<const float>(silence_.data(), whole);
    }
    PulseConnection::Lock lock(handle_.connection());
    if (handle_.state() != PA_STREAM_READY) {
        return false;
    }
    return pa_stream_write(handle_.get(), frames.data(), whole * sizeof(float), nullptr, 0,
                           PA_SEEK_RELATIVE) == 0;
}

// --- peak meter ---

PulsePeakMeter::PulsePeakMeter(std::shared_ptr<PulseConnection> connection)
    : handle_(std::move(connection), "Peak meter", kPeakSpec) {}

std::shared_ptr<PulsePeakMeter> PulsePeakMeter::open(std::shared_ptr<PulseConnection> connection,
                                                     const std::string& source) {
    std::shared_ptr<PulsePeakMeter> meter(new PulsePeakMeter(std::move(connection)));
    pa_stream* s = meter->handle_.get();
    if (s == nullptr) {
        return nullptr;
    }
    PulseConnection::Lock lock(meter->handle_.connection());
    pa_stream_set_read_callback(s, &PulsePeakMeter::onRead, meter.get());
    pa_stream_set_state_callback(s, &PulsePeakMeter::onState, meter.get());
    const pa_buffer_attr attributes = bufferAttributes(sizeof(float), kServerChooses);
    if (pa_stream_connect_record(
            s, source.c_str(), &attributes,
            static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY |
                                           PA_STREAM_DONT_MOVE |
                                           PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND)) < 0) {
        return nullptr;
    }
    return meter;
}

void PulsePeakMeter::onState(pa_stream* stream, void* self) {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        static_cast<PulsePeakMeter*>(self)->peak_.store(0.0F);  // the device has gone
    }
}

void PulsePeakMeter::onRead(pa_stream* stream, std::size_t, void* self) {
    auto* meter = static_cast<PulsePeakMeter*>(self);
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        if (data != nullptr && bytes >= sizeof(float)) {
            // The newest measurement counts; each value is already the peak of 40 ms.
            const std::size_t last = (bytes / sizeof(float) - 1) * sizeof(float);
            float value = 0.0F;
            std::memcpy(&value, static_cast<const char*>(data) + last, sizeof value);
            meter->peak_.store(std::fabs(value));
        }
        pa_stream_drop(stream);
    }
}

}  // namespace qm::audio
