#pragma once

#include <pulse/stream.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_stream_handle.h"

// A playback stream that plays what a generator makes: interleaved 32-bit float frames at the
// given rate and channel count, asked for by the server as it plays (the generator runs on the
// connection's loop thread, with its lock held). Used to feed virtual microphones and tests.
namespace qm::pulse {

class PulsePlayer {
  public:
    using Generator = std::function<void(std::span<float> interleaved)>;

    struct Format {
        int rate = 48'000;
        int channels = 2;
        std::size_t latencyFrames = 960;  // what the server keeps queued
    };

    // Starts playing into the sink (by name); null when the server refuses at once.
    static std::unique_ptr<PulsePlayer> start(std::shared_ptr<PulseConnection> connection,
                                              const std::string& sink,
                                              const std::string& streamName, Generator generator,
                                              Format format);
    PulsePlayer(const PulsePlayer&) = delete;
    PulsePlayer& operator=(const PulsePlayer&) = delete;
    ~PulsePlayer();

    // Waits up to `timeout` until the stream plays; false when it failed or is not there yet.
    bool waitReady(Duration timeout) const;

  private:
    PulsePlayer(std::shared_ptr<PulseConnection> connection, const std::string& streamName,
                Generator generator, const Format& format);
    static void onWrite(pa_stream* stream, std::size_t bytes, void* self);
    static void onState(pa_stream* stream, void* self);

    Generator generator_;
    int channels_;
    // Last, so that it goes first: once it is gone no callback runs, and only then do the
    // members the callbacks use go.
    PulseStreamHandle handle_;
};

}  // namespace qm::pulse
