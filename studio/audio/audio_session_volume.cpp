#include "studio/audio/audio_session_volume.h"

namespace qm::audio {

CAudioSessionVolume::CAudioSessionVolume(SessionVolume& session, Notify notify)
    : session_(session), notify_(std::move(notify)) {}

CAudioSessionVolume::~CAudioSessionVolume() {
    EnableNotifications(false);
}

void CAudioSessionVolume::EnableNotifications(bool enable) {
    if (registered_.exchange(enable) == enable) {
        return;
    }
    if (enable) {
        session_.setListener([this](float volume, bool muted, const sdk::Guid& context) {
            OnSimpleVolumeChanged(volume, muted, context);
        });
    } else {
        session_.setListener({});
    }
}

void CAudioSessionVolume::SetVolume(float volume) {
    session_.SetMasterVolume(volume, PreviewVolumeContext);
}

void CAudioSessionVolume::OnSimpleVolumeChanged(float volume, bool muted,
                                                const sdk::Guid& context) {
    if (registered_.load() && context != PreviewVolumeContext && notify_) {
        notify_(volume, muted);
    }
}

}  // namespace qm::audio
