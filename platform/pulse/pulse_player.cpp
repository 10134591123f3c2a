#include "platform/pulse/pulse_player.h"

namespace qm::pulse {

PulsePlayer::PulsePlayer(std::shared_ptr<PulseConnection> connection, Generator generator,
                         int channels)
    : connection_(std::move(connection)), generator_(std::move(generator)), channels_(channels) {}

std::unique_ptr<PulsePlayer> PulsePlayer::start(std::shared_ptr<PulseConnection> connection,
                                                const std::string& sink,
                                                const std::string& streamName, Generator generator,
                                                Format format) {
    std::unique_ptr<PulsePlayer> player(
        new PulsePlayer(std::move(connection), std::move(generator), format.channels));
    PulseConnection::Lock lock(*player->connection_);
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(format.rate),
                              static_cast<std::uint8_t>(format.channels)};
    player->stream_ =
        pa_stream_new(player->connection_->context(), streamName.c_str(), &spec, nullptr);
    if (player->stream_ == nullptr) {
        return nullptr;
    }
    pa_stream_set_write_callback(player->stream_, &PulsePlayer::onWrite, player.get());
    pa_stream_set_state_callback(player->stream_, &PulsePlayer::onState, player.get());
    const auto bytes = static_cast<std::uint32_t>(
        format.latencyFrames * static_cast<std::size_t>(format.channels) * sizeof(float));
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = bytes;
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    if (pa_stream_connect_playback(player->stream_, sink.c_str(), &attributes,
                                   PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
        return nullptr;  // the destructor releases the stream, under the lock taken again
    }
    return player;
}

PulsePlayer::~PulsePlayer() {
    if (stream_ == nullptr) {
        return;
    }
    PulseConnection::Lock lock(*connection_);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
}

bool PulsePlayer::waitReady(Duration timeout) const {
    PulseConnection::Lock lock(*connection_);
    const auto settled = [&] {
        const pa_stream_state_t state = pa_stream_get_state(stream_);
        return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    };
    return connection_->waitLocked(settled, timeout) &&
           pa_stream_get_state(stream_) == PA_STREAM_READY;
}

void PulsePlayer::onState(pa_stream*, void* self) {
    static_cast<PulsePlayer*>(self)->connection_->signal();
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
