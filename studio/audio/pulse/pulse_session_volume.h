#pragma once

#include <pulse/introspect.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/pulse/pulse_connection.h"
#include "studio/audio/audio_system.h"

// The studio's render session on the sound server: the volume of the preview stream (a sink
// input), kept across re-opened streams. The server's change events carry no origin, so the
// session remembers the last volume it set with its context: a change event that shows that
// volume is ours, any other came from outside (a mixer) and is reported with a null context.
namespace qm::audio {

class PulseSessionVolume final : public SessionVolume {
  public:
    explicit PulseSessionVolume(std::shared_ptr<pulse::PulseConnection> connection);

    void SetMasterVolume(float level, const sdk::Guid& context) override;
    float GetMasterVolume() const override { return level_.load(); }
    void setListener(Listener listener) override;

    // On the loop thread or holding the connection's lock.
    // A render stream of the session now plays as this sink input, at the volume it was opened
    // with (or stopped doing so). A level set while the stream was on its way is applied now.
    void attach(std::uint32_t sinkInput, pa_volume_t openedAt);
    void detach(std::uint32_t sinkInput);
    void sinkInputChanged(std::uint32_t sinkInput);
    // The volume a new render stream of the session starts at.
    pa_volume_t streamVolume() const { return pulse::volumeFromLevel(level_.load()); }

  private:
    static void onInfo(pa_context* context, const pa_sink_input_info* info, int eol, void* self);
    void report(float level, bool muted, const sdk::Guid& context);
    // Under the connection's lock, with a sink input.
    void apply(pa_volume_t volume, const sdk::Guid& context);

    std::shared_ptr<pulse::PulseConnection> connection_;
    std::atomic<float> level_{1.0F};
    // Under the connection's lock.
    std::uint32_t sinkInput_ = PA_INVALID_INDEX;
    pa_volume_t known_ = PA_VOLUME_NORM;
    bool knownMuted_ = false;
    struct Pending {
        pa_volume_t volume;
        sdk::Guid context;
    };
    std::optional<Pending> pending_;
    sdk::Guid lastContext_;  // of the last SetMasterVolume

    std::mutex listenerMutex_;
    Listener listener_;
};

}  // namespace qm::audio
