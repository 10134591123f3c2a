#include "support/private_sound_server.h"

#include <poll.h>
#include <pulse/introspect.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string_view>

namespace qm::testing {
namespace {

using namespace std::chrono_literals;
using pulse::PulseConnection;

constexpr std::chrono::milliseconds kStartTimeout = 15s;
constexpr auto kCallTimeout = 5s;

}  // namespace

PrivateSoundServer::PrivateSoundServer() {
    const std::string dir = folder_.path().string();
    address_ = "unix:" + dir + "/pa.sock";
    // pulseaudio says "READY=1" on a notification socket in systemd's form once it serves.
    const int notify = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un bound{AF_UNIX, {}};
    std::snprintf(bound.sun_path, sizeof bound.sun_path, "%s/notify", dir.c_str());
    ::bind(notify, reinterpret_cast<const sockaddr*>(&bound), sizeof bound);
    try {
        // No configuration of the machine: only the socket (anonymous clients), no devices, no
        // session bus, no real-time scheduling, never exits on its own.
        daemon_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{
                "env", "HOME=" + dir, "XDG_RUNTIME_DIR=" + dir, "XDG_CONFIG_HOME=" + dir,
                "PULSE_STATE_PATH=" + dir, "PULSE_RUNTIME_PATH=" + dir,
                "NOTIFY_SOCKET=" + dir + "/notify", "pulseaudio", "-n", "--daemonize=no",
                "--use-pid-file=no", "--exit-idle-time=-1", "--realtime=no", "--high-priority=no",
                "--disable-shm=yes", "--log-target=stderr", "--log-level=error",
                "--load=module-native-protocol-unix socket=" + dir + "/pa.sock auth-anonymous=1"},
            ChildProcess::Errors::Discarded);
    } catch (const std::exception& e) {
        why_ = e.what();
    }
    pollfd ready{notify, POLLIN, 0};
    char said[64] = {};
    const bool up = daemon_ != nullptr &&
                    ::poll(&ready, 1, static_cast<int>(kStartTimeout.count())) == 1 &&
                    ::recv(notify, said, sizeof said - 1, 0) > 0 &&
                    std::string_view(said).starts_with("READY=1");
    ::close(notify);
    if (up) {
        control_ = PulseConnection::open("qm-test", address_, kCallTimeout, why_);
    } else if (why_.empty()) {
        why_ = "no user-mode PulseAudio became ready on " + address_;
    }
}

PrivateSoundServer::~PrivateSoundServer() {
    control_.reset();
    if (daemon_) {
        daemon_->terminate();
    }
}

bool PrivateSoundServer::addSink(const std::string& name, const std::string& description) {
    return control_
        ->loadModule("module-null-sink",
                     "sink_name=" + name +
                         " format=float32le rate=48000 channels=2 "
                         "sink_properties=device.description=" +
                         description,
                     kCallTimeout)
        .has_value();
}

bool PrivateSoundServer::addSource(const std::string& name, const std::string& properties) {
    return addSink(name + "_feed", name + "_feed") &&
           control_
               ->loadModule("module-remap-source",
                            "master=" + name + "_feed.monitor source_name=" + name +
                                " format=float32le rate=48000 channels=2 source_properties='" +
                                properties + "'",
                            kCallTimeout)
               .has_value();
}

std::unique_ptr<pulse::PulsePlayer> PrivateSoundServer::playTone(const std::string& sink,
                                                                 double frequency,
                                                                 float amplitude) {
    auto phase = std::make_shared<double>(0.0);
    const double step = 2.0 * std::numbers::pi * frequency / 48'000.0;
    auto player = pulse::PulsePlayer::start(
        control_, sink, "test tone",
        [phase, step, amplitude](std::span<float> out) {
            for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
                out[i] = out[i + 1] = amplitude * static_cast<float>(std::sin(*phase));
                *phase = std::fmod(*phase + step, 2.0 * std::numbers::pi);
            }
        },
        {});
    if (player != nullptr && !player->waitReady(kCallTimeout)) {
        return nullptr;
    }
    return player;
}

std::optional<PrivateSoundServer::SinkInput> PrivateSoundServer::sinkInputNamed(
    const std::string& mediaName) {
    struct Search {
        const PulseConnection* connection;
        std::string name;
        std::optional<SinkInput> found;
        bool done = false;
    } search{control_.get(), mediaName, std::nullopt};
    PulseConnection::Lock lock(*control_);
    pa_operation* operation = pa_context_get_sink_input_info_list(
        control_->context(),
        [](pa_context*, const pa_sink_input_info* info, int eol, void* data) {
            auto* s = static_cast<Search*>(data);
            if (eol != 0) {
                s->done = true;
                s->connection->signal();
                return;
            }
            const char* name = pa_proplist_gets(info->proplist, PA_PROP_MEDIA_NAME);
            if (!s->found && name != nullptr && s->name == name) {
                s->found =
                    SinkInput{info->index, pulse::levelFromVolume(pa_cvolume_avg(&info->volume))};
            }
        },
        &search);
    control_->finish(operation, search.done, kCallTimeout);
    return search.found;
}

bool PrivateSoundServer::setSinkInputVolume(std::uint32_t sinkInput, float level) {
    struct Result {
        const PulseConnection* connection;
        bool done = false;
        bool success = false;
    } result{control_.get()};
    pa_cvolume volume;
    pa_cvolume_set(&volume, 2, pulse::volumeFromLevel(level));
    PulseConnection::Lock lock(*control_);
    pa_operation* operation = pa_context_set_sink_input_volume(
        control_->context(), sinkInput, &volume,
        [](pa_context*, int success, void* data) {
            auto* r = static_cast<Result*>(data);
            r->success = success != 0;
            r->done = true;
            r->connection->signal();
        },
        &result);
    return control_->finish(operation, result.done, kCallTimeout) && result.success;
}

}  // namespace qm::testing
