#pragma once

#include <atomic>
#include <functional>

#include "common/sdk/guid.h"
#include "studio/audio/audio_system.h"

// Listens to the volume of the studio's preview session and reports changes made outside the
// studio to its owner, the main frame. The studio's own changes carry PreviewVolumeContext and
// are not reported back.
namespace qm::audio {

// {2715279F-4139-4BA0-9CB1-B351F1B58A4A}
inline constexpr sdk::Guid PreviewVolumeContext{
    0x2715279F, 0x4139, 0x4BA0, {0x9C, 0xB1, 0xB3, 0x51, 0xF1, 0xB5, 0x8A, 0x4A}};

class CAudioSessionVolume {
  public:
    // Called on the audio system's thread with a change made outside the studio; the owner
    // passes it on to its own thread.
    using Notify = std::function<void(float volume, bool muted)>;

    CAudioSessionVolume(SessionVolume& session, Notify notify);
    CAudioSessionVolume(const CAudioSessionVolume&) = delete;
    CAudioSessionVolume& operator=(const CAudioSessionVolume&) = delete;
    // Unregisters when registered: no report is running or follows once it returns.
    ~CAudioSessionVolume();

    // Registers the listener once; false unregisters it.
    void EnableNotifications(bool enable);
    // The studio's own change, marked with PreviewVolumeContext.
    void SetVolume(float volume);

  private:
    void OnSimpleVolumeChanged(float volume, bool muted, const sdk::Guid& context);

    SessionVolume& session_;
    Notify notify_;
    std::atomic<bool> registered_{false};
};

}  // namespace qm::audio
