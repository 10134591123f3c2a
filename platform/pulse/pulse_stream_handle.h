#pragma once

#include <pulse/stream.h>

#include <cstdint>
#include <memory>

#include "platform/pulse/pulse_connection.h"

namespace qm::pulse {

// A pa_stream with its connection; disconnected and released, under the lock, on destruction,
// after which none of its callbacks runs again.
class PulseStreamHandle {
  public:
    PulseStreamHandle(std::shared_ptr<PulseConnection> connection, const char* name,
                      const pa_sample_spec& spec);
    PulseStreamHandle(const PulseStreamHandle&) = delete;
    PulseStreamHandle& operator=(const PulseStreamHandle&) = delete;
    ~PulseStreamHandle();

    pa_stream* get() const { return stream_; }
    PulseConnection& connection() const { return *connection_; }
    // Holding the lock.
    pa_stream_state_t state() const { return pa_stream_get_state(stream_); }

  private:
    std::shared_ptr<PulseConnection> connection_;
    pa_stream* stream_ = nullptr;
};

// Buffer attributes that leave everything to the server but the fragment size of a record
// stream and the target length of a playback stream (in bytes).
inline constexpr std::uint32_t kServerChooses = static_cast<std::uint32_t>(-1);
pa_buffer_attr bufferAttributes(std::uint32_t fragsize, std::uint32_t tlength);

}  // namespace qm::pulse
