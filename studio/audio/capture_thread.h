#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <span>
#include <string>
#include <thread>

#include "common/runtime/clock.h"
#include "common/runtime/event.h"
#include "common/runtime/message_queue.h"
#include "studio/audio/audio_system.h"

// One capture thread: it opens a shared capture stream on an endpoint, sets the stream's volume,
// and then waits for packets or a message from its owner. Every packet goes to the thread's
// packet handler, on the thread. The thread is paced by the sound server alone: it has no timer.
// It ends when its owner asks, or quietly on any failure of the stream.
//
// The running flag is set by start() before the thread exists and cleared by the thread as it
// ends, so a thread whose stop ran out of time keeps the flag until it is really gone and no
// second thread is started over it.
namespace qm::audio {

inline constexpr std::chrono::milliseconds kCaptureStopTimeout{2000};

class CaptureThread {
  public:
    // Interleaved frames of kStreamChannels samples each.
    using PacketHandler = std::function<void(std::span<const float> frames)>;

    explicit CaptureThread(Clock& clock = Clock::real());
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;
    // Asks a running thread to end and joins it.
    ~CaptureThread();

    // Starts the thread on the endpoint unless it is running. False when it was running.
    bool start(AudioSystem& audio, const std::string& endpointId, float volume,
               PacketHandler onPacket);
    // Asks the thread to end and waits up to `timeout` on the clock. True when it has ended (or
    // never ran); false when the wait ran out and the thread finishes on its own.
    bool stop(Duration timeout = kCaptureStopTimeout);
    // Sets the volume of the thread's stream (the thread applies it).
    void setVolume(float level);

    bool running() const { return running_.load(); }

  private:
    enum class Kind { Quit, Wake, Volume };
    struct Message {
        Kind kind;
        float level = 0.0F;
    };

    void run(AudioSystem& audio, const std::string& endpointId, float volume);
    // Hands every packet the stream has now to the handler; false when the stream has ended.
    bool drain(CaptureStream& stream);
    void wake();

    Clock& clock_;
    MessageQueue<Message> queue_;
    Event finished_;
    std::atomic<bool> running_{false};
    std::atomic<bool> wakePending_{false};
    PacketHandler onPacket_;
    std::vector<float> packet_;
    std::thread thread_;
};

}  // namespace qm::audio
