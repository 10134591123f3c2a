#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_player.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

// A user-mode PulseAudio of the test's own, with no devices of the machine: only what the test
// loads (null sinks, remapped sources). Clients reach it at address() (PULSE_SERVER form). The
// constructor waits until the server answers; when it cannot start, available() is false and
// why() says why, so that the test can skip. Ended by the destructor.
namespace qm::testing {

class PrivateSoundServer {
  public:
    PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;
    ~PrivateSoundServer();

    bool available() const { return control_ != nullptr; }
    const std::string& why() const { return why_; }
    const std::string& address() const { return address_; }
    const std::filesystem::path& folder() const { return folder_.path(); }
    // The test's own connection, for loading modules and playing.
    const std::shared_ptr<pulse::PulseConnection>& control() const { return control_; }

    // A null sink of float stereo at 48 kHz; its monitor is "<name>.monitor".
    bool addSink(const std::string& name, const std::string& description);
    // A source that carries the given properties (name=value, space separated), remapped from
    // the monitor of a null sink "<name>_feed" that playTone can feed.
    bool addSource(const std::string& name, const std::string& properties);
    // A sine tone at `amplitude` on both channels into a sink, until the player goes.
    std::unique_ptr<pulse::PulsePlayer> playTone(const std::string& sink, double frequency,
                                                 float amplitude);

    // The first playback stream (sink input) with this media name.
    struct SinkInput {
        std::uint32_t index;
        float level;  // its volume
    };
    std::optional<SinkInput> sinkInputNamed(const std::string& mediaName);
    bool setSinkInputVolume(std::uint32_t sinkInput, float level);

  private:
    TempFolder folder_;
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
    std::string why_;
    std::shared_ptr<pulse::PulseConnection> control_;
};

}  // namespace qm::testing
