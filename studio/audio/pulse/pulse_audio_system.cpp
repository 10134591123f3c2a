#include "studio/audio/pulse/pulse_audio_system.h"

#include <pulse/proplist.h>

#include "platform/endpoints/udev_endpoints.h"
#include "studio/audio/pulse/pulse_streams.h"

namespace qm::audio {
namespace {

using pulse::PulseConnection;

std::string property(const pa_proplist* properties, const char* key) {
    const char* value = pa_proplist_gets(properties, key);
    return value != nullptr ? value : "";
}

}  // namespace

// The session volume's stand-in when no server could be reached: it keeps the level.
class PulseAudioSystem::DetachedSessionVolume final : public SessionVolume {
  public:
    void SetMasterVolume(float level, const sdk::Guid&) override { level_ = level; }
    float GetMasterVolume() const override { return level_; }
    void setListener(Listener) override {}

  private:
    std::atomic<float> level_{1.0F};
};

PulseAudioSystem::PulseAudioSystem(Options options) : options_(std::move(options)) {
    if (!options_.containerIdOfSysfsDevice) {
        options_.containerIdOfSysfsDevice = endpoints::containerIdOfSysfsDevice;
    }
    connection_ =
        PulseConnection::open(options_.clientName, options_.server, options_.timeout, error_);
    if (connection_ == nullptr) {
        detached_ = std::make_unique<DetachedSessionVolume>();
        return;
    }
    session_ = std::make_shared<PulseSessionVolume>(connection_);
    PulseConnection::Lock lock(*connection_);
    const auto mask = static_cast<pa_subscription_mask_t>(
        PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SINK_INPUT |
        PA_SUBSCRIPTION_MASK_SERVER);
    connection_->setStateHandler([this](pa_context_state_t state) {
        if (!PA_CONTEXT_IS_GOOD(state)) {
            {
                std::lock_guard guard(tableMutex_);
                sinks_.clear();
                sources_.clear();
                defaultSink_.clear();
            }
            finished(true);
        }
    });
    if (!connection_->subscribe(
            mask,
            [this](pa_subscription_event_type_t event, std::uint32_t index) {
                onEvent(event, index);
            },
            options_.timeout)) {
        error_ = "the sound server refused to report its changes";
    }
    requestServer();
    requestSinks(PA_INVALID_INDEX);
    requestSources(PA_INVALID_INDEX);
    if (!connection_->waitLocked([this] { return requestsInFlight_ == 0; }, options_.timeout)) {
        error_ = "the sound server did not list its devices in time";
    }
}

PulseAudioSystem::~PulseAudioSystem() {
    if (connection_ != nullptr) {
        PulseConnection::Lock lock(*connection_);
        connection_->disconnect();  // no callback into this object runs after this
    }
}

void PulseAudioSystem::onEvent(pa_subscription_event_type_t event, std::uint32_t index) {
    const auto facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const bool removed = (event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE;
    switch (facility) {
        case PA_SUBSCRIPTION_EVENT_SINK:
            if (removed) {
                std::lock_guard guard(tableMutex_);
                sinks_.erase(index);
            } else {
                requestSinks(index);
                return;
            }
            break;
        case PA_SUBSCRIPTION_EVENT_SOURCE:
            if (removed) {
                std::lock_guard guard(tableMutex_);
                sources_.erase(index);
            } else {
                requestSources(index);
                return;
            }
            break;
        case PA_SUBSCRIPTION_EVENT_SERVER:
            requestServer();
            return;
        case PA_SUBSCRIPTION_EVENT_SINK_INPUT:
            if (!removed) {
                session_->sinkInputChanged(index);
            }
            return;
        default:
            return;
    }
    finished(true);
}

void PulseAudioSystem::track(pa_operation* operation) {
    if (operation != nullptr) {
        ++requestsInFlight_;
        pa_operation_unref(operation);
    }
}

void PulseAudioSystem::finished(bool changed) {
    connection_->signal();
    if (!changed) {
        return;
    }
    std::lock_guard guard(changedMutex_);
    if (changed_) {
        changed_();
    }
}

void PulseAudioSystem::requestServer() {
    track(
        pa_context_get_server_info(connection_->context(), &PulseAudioSystem::onServerInfo, this));
}

void PulseAudioSystem::requestSinks(std::uint32_t index) {
    pa_context* context = connection_->context();
    track(index == PA_INVALID_INDEX
              ? pa_context_get_sink_info_list(context, &PulseAudioSystem::onSinkInfo, this)
              : pa_context_get_sink_info_by_index(context, index, &PulseAudioSystem::onSinkInfo,
                                                  this));
}

void PulseAudioSystem::requestSources(std::uint32_t index) {
    pa_context* context = connection_->context();
    track(index == PA_INVALID_INDEX
              ? pa_context_get_source_info_list(context, &PulseAudioSystem::onSourceInfo, this)
              : pa_context_get_source_info_by_index(context, index, &PulseAudioSystem::onSourceInfo,
                                                    this));
}

void PulseAudioSystem::onServerInfo(pa_context*, const pa_server_info* info, void* self) {
    auto* system = static_cast<PulseAudioSystem*>(self);
    --system->requestsInFlight_;
    if (info != nullptr) {
        std::lock_guard guard(system->tableMutex_);
        system->defaultSink_ = info->default_sink_name != nullptr ? info->default_sink_name : "";
    }
    system->finished(true);
}

void PulseAudioSystem::onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
    auto* system = static_cast<PulseAudioSystem*>(self);
    if (eol != 0) {
        --system->requestsInFlight_;
        system->finished(eol > 0);
        return;
    }
    std::lock_guard guard(system->tableMutex_);
    system->sinks_[info->index] = {
        info->name, info->description != nullptr ? info->description : "",
        info->monitor_source_name != nullptr ? info->monitor_source_name
                                             : std::string(info->name) + ".monitor"};
}

void PulseAudioSystem::onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* self) {
    auto* system = static_cast<PulseAudioSystem*>(self);
    if (eol != 0) {
        --system->requestsInFlight_;
        system->finished(eol > 0);
        return;
    }
    if (info->monitor_of_sink != PA_INVALID_INDEX) {
        return;  // what a sink plays is not a capture endpoint
    }
    SourceDeviceProperties device;
    device.sysfsPath = property(info->proplist, "sysfs.path");
    device.alsaCard = property(info->proplist, "alsa.card");
    if (device.alsaCard.empty()) {
        device.alsaCard = property(info->proplist, "api.alsa.card");
    }
    device.bus = property(info->proplist, PA_PROP_DEVICE_BUS);
    device.vendorId = property(info->proplist, PA_PROP_DEVICE_VENDOR_ID);
    device.productId = property(info->proplist, PA_PROP_DEVICE_PRODUCT_ID);
    device.serial = property(info->proplist, PA_PROP_DEVICE_SERIAL);
    Source source{info->name, info->description != nullptr ? info->description : "",
                  containerIdOfSource(device, system->options_.containerIdOfSysfsDevice)};
    std::lock_guard guard(system->tableMutex_);
    system->sources_[info->index] = std::move(source);
}

std::vector<CaptureEndpoint> PulseAudioSystem::captureEndpoints() {
    std::lock_guard guard(tableMutex_);
    std::vector<CaptureEndpoint> endpoints;
    for (const auto& [index, source] : sources_) {
        endpoints.push_back({source.name, source.description, source.containerId});
    }
    return endpoints;
}

std::vector<RenderEndpoint> PulseAudioSystem::renderEndpoints() {
    std::lock_guard guard(tableMutex_);
    std::vector<RenderEndpoint> endpoints;
    for (const auto& [index, sink] : sinks_) {
        endpoints.push_back({sink.name, sink.description});
    }
    return endpoints;
}

std::optional<RenderEndpoint> PulseAudioSystem::defaultRenderEndpoint() {
    std::lock_guard guard(tableMutex_);
    for (const auto& [index, sink] : sinks_) {
        if (sink.name == defaultSink_) {
            return RenderEndpoint{sink.name, sink.description};
        }
    }
    return std::nullopt;
}

void PulseAudioSystem::setEndpointsChanged(std::function<void()> changed) {
    std::lock_guard guard(changedMutex_);
    changed_ = std::move(changed);
}

bool PulseAudioSystem::hasSource(const std::string& name) const {
    std::lock_guard guard(tableMutex_);
    for (const auto& [index, source] : sources_) {
        if (source.name == name) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> PulseAudioSystem::monitorOf(const std::string& sink) const {
    std::lock_guard guard(tableMutex_);
    for (const auto& [index, entry] : sinks_) {
        if (entry.name == sink) {
            return entry.monitor;
        }
    }
    return std::nullopt;
}

std::unique_ptr<CaptureStream> PulseAudioSystem::openCapture(const std::string& endpointId,
                                                             std::function<void()> wake) {
    if (!available() || !hasSource(endpointId)) {
        return nullptr;
    }
    return PulseCaptureStream::open(connection_, endpointId, std::move(wake));
}

std::unique_ptr<RenderStream> PulseAudioSystem::openRender(const std::string& endpointId) {
    if (!available() || !monitorOf(endpointId)) {
        return nullptr;
    }
    return PulseRenderStream::open(connection_, endpointId, session_);
}

std::shared_ptr<PeakMeter> PulseAudioSystem::captureMeter(const std::string& endpointId) {
    if (!available() || !hasSource(endpointId)) {
        return nullptr;
    }
    return PulsePeakMeter::open(connection_, endpointId);
}

std::shared_ptr<PeakMeter> PulseAudioSystem::renderMeter(const std::string& endpointId) {
    const std::optional<std::string> monitor = available() ? monitorOf(endpointId) : std::nullopt;
    if (!monitor) {
        return nullptr;
    }
    return PulsePeakMeter::open(connection_, *monitor);
}

SessionVolume& PulseAudioSystem::renderSessionVolume() {
    if (session_ == nullptr) {
        return *detached_;
    }
    return *session_;
}

}  // namespace qm::audio
