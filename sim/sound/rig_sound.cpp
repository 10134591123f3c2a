#include "sim/sound/rig_sound.h"

#include <chrono>

#include "common/text/text.h"
#include "sim/sound/dsp_shaping.h"
#include "sim/sound/test_signal.h"

namespace qm::sim {
namespace {

constexpr std::chrono::seconds kServerTimeout{5};

// Plays the microphone's shaped test signal; runs on the connection's loop thread.
class ShapedSignal {
  public:
    explicit ShapedSignal(std::weak_ptr<VirtualMicrophone> microphone)
        : microphone_(std::move(microphone)) {}

    void operator()(std::span<float> stereo) {
        if (const auto microphone = microphone_.lock()) {
            shaping_.configure(microphone->settings());
        }
        for (std::size_t i = 0; i + 1 < stereo.size(); i += 2) {
            stereo[i] = stereo[i + 1] = static_cast<float>(shaping_.process(signal_.next()));
        }
    }

  private:
    std::weak_ptr<VirtualMicrophone> microphone_;
    TestSignal signal_;
    DspShaping shaping_;
};

}  // namespace

RigSound::RigSound(std::shared_ptr<pulse::PulseConnection> connection)
    : connection_(std::move(connection)) {}

std::unique_ptr<RigSound> RigSound::connect(const std::string& server, std::string& error) {
    auto connection = pulse::PulseConnection::open("qmMicHost virtual microphones", server,
                                                   kServerTimeout, error);
    if (connection == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<RigSound>(new RigSound(std::move(connection)));
}

RigSound::~RigSound() {
    std::lock_guard guard(mutex_);
    sounding_.clear();
}

bool RigSound::plugged(const std::shared_ptr<VirtualMicrophone>& microphone, std::string& error) {
    const MicrophoneIdentity& id = microphone->identity();
    std::lock_guard guard(mutex_);
    if (sounding_.contains(id.serial)) {
        return true;
    }
    Sounding sounding;
    sounding.source = VirtualSource::create(
        connection_,
        {id.serial, id.product + " " + id.serial, text::format("%04x", id.vendorId),
         text::format("%04x", id.productId)},
        kServerTimeout, error);
    if (sounding.source == nullptr) {
        return false;
    }
    sounding.player =
        pulse::PulsePlayer::start(connection_, sounding.source->sinkName(), "Voice of " + id.serial,
                                  ShapedSignal(microphone), {});
    if (sounding.player == nullptr) {
        error = "the sound server refused to play into " + sounding.source->sinkName();
        return false;
    }
    sounding_.emplace(id.serial, std::move(sounding));
    return true;
}

void RigSound::unplugged(const std::string& serial) {
    std::lock_guard guard(mutex_);
    sounding_.erase(serial);
}

std::string RigSound::sourceOf(const std::string& serial) const {
    std::lock_guard guard(mutex_);
    const auto it = sounding_.find(serial);
    return it == sounding_.end() ? std::string() : it->second.source->sourceName();
}

}  // namespace qm::sim
