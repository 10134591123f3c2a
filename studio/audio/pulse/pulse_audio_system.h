#pragma once

#include <pulse/introspect.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "studio/audio/audio_system.h"
#include "studio/audio/pulse/pulse_session_volume.h"
#include "studio/audio/pulse/source_container_id.h"

// The audio system on a PulseAudio server (or PipeWire through pipewire-pulse), over libpulse.
// It keeps its own table of the server's sources and sinks, filled when it connects and kept up
// to date from the server's change events on its loop thread, so listing endpoints never waits
// for the server. Sinks are render endpoints; sources other than sink monitors are capture
// endpoints, each with the container id of its USB device. Streams and meters it opens must be
// released before it is destroyed.
namespace qm::audio {

class PulseAudioSystem final : public AudioSystem {
  public:
    struct Options {
        std::string server;  // empty: the user's server, as libpulse finds it
        std::string clientName = "qmTonecraft";
        std::chrono::milliseconds timeout{2000};    // for connecting and the first listing
        SysfsContainerId containerIdOfSysfsDevice;  // the udev lookup unless replaced
    };

    explicit PulseAudioSystem(Options options);
    PulseAudioSystem(const PulseAudioSystem&) = delete;
    PulseAudioSystem& operator=(const PulseAudioSystem&) = delete;
    ~PulseAudioSystem() override;

    // False when no server could be reached; every list is then empty and nothing opens.
    bool available() const { return connection_ != nullptr; }
    const std::string& error() const { return error_; }

    std::vector<CaptureEndpoint> captureEndpoints() override;
    std::vector<RenderEndpoint> renderEndpoints() override;
    std::optional<RenderEndpoint> defaultRenderEndpoint() override;
    void setEndpointsChanged(std::function<void()> changed) override;

    std::unique_ptr<CaptureStream> openCapture(const std::string& endpointId,
                                               std::function<void()> wake) override;
    std::unique_ptr<RenderStream> openRender(const std::string& endpointId) override;
    std::shared_ptr<PeakMeter> captureMeter(const std::string& endpointId) override;
    std::shared_ptr<PeakMeter> renderMeter(const std::string& endpointId) override;
    SessionVolume& renderSessionVolume() override;

  private:
    struct Sink {
        std::string name;
        std::string description;
        std::string monitor;  // its monitor source
    };
    struct Source {
        std::string name;
        std::string description;
        std::optional<sdk::Guid> containerId;
    };

    // On the loop thread.
    void onEvent(pa_subscription_event_type_t event, std::uint32_t index);
    void requestServer();
    void requestSinks(std::uint32_t index);  // PA_INVALID_INDEX: all
    void requestSources(std::uint32_t index);
    void track(pa_operation* operation);
    void finished(bool changed);
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* self);
    static void onSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void onSourceInfo(pa_context* context, const pa_source_info* info, int eol, void* self);
    bool hasSource(const std::string& name) const;
    std::optional<std::string> monitorOf(const std::string& sink) const;

    class DetachedSessionVolume;

    Options options_;
    std::string error_;
    std::shared_ptr<pulse::PulseConnection> connection_;
    std::shared_ptr<PulseSessionVolume> session_;
    std::unique_ptr<DetachedSessionVolume> detached_;
    int requestsInFlight_ = 0;  // under the connection's lock

    mutable std::mutex tableMutex_;
    std::map<std::uint32_t, Sink> sinks_;
    std::map<std::uint32_t, Source> sources_;
    std::string defaultSink_;

    std::mutex changedMutex_;
    std::function<void()> changed_;
};

}  // namespace qm::audio
