#include "platform/pulse/pulse_player.h"

namespace qm::pulse {
namespace {

pa_sample_spec specOf(const PulsePlayer::Format& format) {
    return {PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(format.rate),
            static_cast<std::uint8_t>(format.channels)};
}

}  // namespace

PulsePlayer::PulsePlayer(std::shared_ptr<PulseConnection> connection, const std::string& streamName,
                         Generator generator, const Format& format)
    : generator_(std::move(generator)),
      channels_(format.channels),
      handle_(std::move(connection), streamName.c_str(), specOf(format)) {}

std::unique_ptr<PulsePlayer> PulsePlayer::start(std::shared_ptr<PulseConnection> connection,
                                                const std::string& sink,
                                                const std::string& streamName, Generator generator,
                                                Format format) {
    std::unique_ptr<PulsePlayer> player(
        new PulsePlayer(std::move(connection), streamName, std::move(generator), format));
    pa_stream* stream = player->handle_.get();
    if (stream == nullptr) {
        return nullptr;
    }
    PulseConnection::Lock lock(player->handle_.connection());
    pa_stream_set_write_callback(stream, &PulsePlayer::onWrite, player.get());
    pa_stream_set_state_callback(stream, &PulsePlayer::onState, player.get());
    const auto bytes = static_cast<std::uint32_t>(
        format.latencyFrames * static_cast<std::size_t>(format.channels) * sizeof(float));
    const pa_buffer_attr attributes = bufferAttributes(kServerChooses, bytes);
    if (pa_stream_connect_playback(stream, sink.c_str(), &attributes, PA_STREAM_ADJUST_LATENCY,
                                   nullptr, nullptr) < 0) {
        return nullptr;  // the handle releases the stream, under the lock taken again
    }
    return player;
}

PulsePlayer::~PulsePlayer() = default;

bool PulsePlayer::waitReady(Duration timeout) const {
    PulseConnection::Lock lock(handle_.connection());
    const auto settled = [&] {
        const pa_stream_state_t state = handle_.state();
        return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    };
    return handle_.connection().waitLocked(settled, timeout) && handle_.state() == PA_STREAM_READY;
}

void PulsePlayer::onState(pa_stream*, void* self) {
    static_cast<PulsePlayer*>(self)->handle_.connection().signal();
}

void PulsePlayer::onWrite(pa_stream* stream, std::size_t bytes, void* self) {
    auto* player = static_cast<PulsePlayer*>(self);
    void* data = nullptr;
    if (pa_stream_begin_write(stream, &data, &bytes) < 0 || data == nullptr) {
        return;
    }
    const std::size_t frameBytes = static_cast<std::size_t>(player->channels_) * sizeof(float);
    bytes -= bytes % frameBytes;
    if (bytes == 0) {
        pa_stream_cancel_write(stream);
        return;
    }
    player->generator_(std::span<float>(static_cast<float*>(data), bytes / sizeof(float)));
    pa_stream_write(stream, data, bytes, nullptr, 0, PA_SEEK_RELATIVE);
}

}  // namespace qm::pulse
