#include "studio/audio/pulse/pulse_session_volume.h"

namespace qm::audio {

using pulse::PulseConnection;

PulseSessionVolume::PulseSessionVolume(std::shared_ptr<PulseConnection> connection)
    : connection_(std::move(connection)) {}

void PulseSessionVolume::SetMasterVolume(float level, const sdk::Guid& context) {
    PulseConnection::Lock lock(*connection_);
    level_.store(level);
    lastContext_ = context;
    const pa_volume_t volume = pulse::volumeFromLevel(level);
    if (sinkInput_ == PA_INVALID_INDEX || volume == known_) {
        // Nothing to change now (a new stream starts at the level), and no event will come.
        pending_.reset();
        known_ = volume;
        return;
    }
    apply(volume, context);
}

void PulseSessionVolume::apply(pa_volume_t volume, const sdk::Guid& context) {
    pending_ = Pending{volume, context};
    pa_cvolume volumes;
    pa_cvolume_set(&volumes, kStreamChannels, volume);
    if (pa_operation* operation = pa_context_set_sink_input_volume(
            connection_->context(), sinkInput_, &volumes, nullptr, nullptr)) {
        pa_operation_unref(operation);
    }
}

void PulseSessionVolume::setListener(Listener listener) {
    std::lock_guard guard(listenerMutex_);
    listener_ = std::move(listener);
}

void PulseSessionVolume::attach(std::uint32_t sinkInput, pa_volume_t openedAt) {
    sinkInput_ = sinkInput;
    known_ = openedAt;
    knownMuted_ = false;
    pending_.reset();
    if (const pa_volume_t wanted = streamVolume(); wanted != openedAt) {
        apply(wanted, lastContext_);
    }
}

void PulseSessionVolume::detach(std::uint32_t sinkInput) {
    if (sinkInput_ == sinkInput) {
        sinkInput_ = PA_INVALID_INDEX;
        pending_.reset();
    }
}

void PulseSessionVolume::sinkInputChanged(std::uint32_t sinkInput) {
    if (sinkInput != sinkInput_) {
        return;
    }
    if (pa_operation* operation = pa_context_get_sink_input_info(
            connection_->context(), sinkInput, &PulseSessionVolume::onInfo, this)) {
        pa_operation_unref(operation);
    }
}

void PulseSessionVolume::onInfo(pa_context*, const pa_sink_input_info* info, int eol, void* self) {
    auto* session = static_cast<PulseSessionVolume*>(self);
    if (eol != 0 || info == nullptr || info->index != session->sinkInput_) {
        return;
    }
    const pa_volume_t volume = pa_cvolume_avg(&info->volume);
    const bool muted = info->mute != 0;
    if (volume == session->known_ && muted == session->knownMuted_) {
        return;  // another property of the stream changed
    }
    session->known_ = volume;
    session->knownMuted_ = muted;
    sdk::Guid context;  // from outside, unless it is the volume we set last
    if (session->pending_ && session->pending_->volume == volume) {
        context = session->pending_->context;
        session->pending_.reset();
    }
    const float level = pulse::levelFromVolume(volume);
    session->level_.store(level);
    session->report(level, muted, context);
}

void PulseSessionVolume::report(float level, bool muted, const sdk::Guid& context) {
    std::lock_guard guard(listenerMutex_);
    if (listener_) {
        listener_(level, muted, context);
    }
}

}  // namespace qm::audio
