#include "studio/audio/capture_thread.h"

#include <chrono>

namespace qm::audio {
namespace {

// The thread has no time-outs of its own; it only wakes for messages.
constexpr std::chrono::hours kIdleWait{1};

}  // namespace

CaptureThread::CaptureThread(Clock& clock)
    : clock_(clock), queue_(clock), finished_(clock, Event::Reset::Manual) {}

CaptureThread::~CaptureThread() {
    if (thread_.joinable()) {
        queue_.post({Kind::Quit});
        thread_.join();
    }
}

bool CaptureThread::start(AudioSystem& audio, const std::string& endpointId, float volume,
                          PacketHandler onPacket) {
    if (running_.load()) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();  // ended on its own
    }
    running_.store(true);
    finished_.reset();
    queue_.drain();  // a quit or volume left from an earlier run does not belong to this one
    wakePending_.store(false);
    onPacket_ = std::move(onPacket);
    thread_ = std::thread([this, &audio, endpointId, volume] { run(audio, endpointId, volume); });
    return true;
}

bool CaptureThread::stop(Duration timeout) {
    if (!thread_.joinable()) {
        return true;
    }
    if (running_.load()) {
        queue_.post({Kind::Quit});
        if (!finished_.waitFor(timeout)) {
            return false;
        }
    }
    thread_.join();
    return true;
}

void CaptureThread::setVolume(float level) {
    if (running_.load()) {
        queue_.post({Kind::Volume, level});
    }
}

void CaptureThread::wake() {
    if (!wakePending_.exchange(true)) {
        queue_.post({Kind::Wake});
    }
}

bool CaptureThread::drain(CaptureStream& stream) {
    wakePending_.store(false);  // a wake from here on is a new one
    for (;;) {
        switch (stream.readPacket(packet_)) {
            case CaptureStream::Read::Packet:
                onPacket_(packet_);
                break;
            case CaptureStream::Read::Empty:
                return true;
            case CaptureStream::Read::Failed:
                return false;
        }
    }
}

void CaptureThread::run(AudioSystem& audio, const std::string& endpointId, float volume) {
    std::unique_ptr<CaptureStream> stream = audio.openCapture(endpointId, [this] { wake(); });
    if (stream != nullptr) {
        stream->SetMasterVolume(volume);
        bool streaming = true;
        while (streaming) {
            const std::optional<Message> message = queue_.waitUntil(clock_.now() + kIdleWait);
            if (!message) {
                continue;
            }
            switch (message->kind) {
                case Kind::Quit:
                    streaming = false;
                    break;
                case Kind::Volume:
                    stream->SetMasterVolume(message->level);
                    break;
                case Kind::Wake:
                    streaming = drain(*stream);
                    break;
            }
        }
        stream.reset();
    }
    running_.store(false);
    finished_.set();
}

}  // namespace qm::audio
