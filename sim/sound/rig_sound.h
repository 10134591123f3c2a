#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_player.h"
#include "sim/sound/virtual_source.h"
#include "sim/virtual_microphone.h"

// The sound of a rig's virtual microphones on a sound server: while a microphone is plugged in,
// it has a capture source (VirtualSource) that plays the test signal shaped by the microphone's
// current DSP settings, read again for every buffer the server asks for, so that a change of a
// filter is heard within a few milliseconds. Audio never passes through the service's client
// interface: the studio captures the source like any microphone's.
namespace qm::sim {

class RigSound {
  public:
    // Connects to `server` (empty: the user's server as libpulse finds it). Null, with the
    // reason in `error`, when no server answers.
    static std::unique_ptr<RigSound> connect(const std::string& server, std::string& error);
    RigSound(const RigSound&) = delete;
    RigSound& operator=(const RigSound&) = delete;
    // Removes every source it added.
    ~RigSound();

    // The microphone's source added (when it has none yet) or removed. False, with the reason in
    // `error`, when the server refused.
    bool plugged(const std::shared_ptr<VirtualMicrophone>& microphone, std::string& error);
    void unplugged(const std::string& serial);

    // The source of a plugged-in microphone, or an empty name.
    std::string sourceOf(const std::string& serial) const;

  private:
    struct Sounding {
        std::unique_ptr<VirtualSource> source;
        std::unique_ptr<pulse::PulsePlayer> player;  // stopped before the source goes
    };

    explicit RigSound(std::shared_ptr<pulse::PulseConnection> connection);

    std::shared_ptr<pulse::PulseConnection> connection_;
    mutable std::mutex mutex_;
    std::map<std::string, Sounding> sounding_;
};

}  // namespace qm::sim
