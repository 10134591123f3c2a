#pragma once

#include <pulse/context.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>
#include <pulse/volume.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/runtime/clock.h"

// A connection to a PulseAudio server (or PipeWire through pipewire-pulse) whose callbacks run
// on a thread of its own (libpulse's threaded main loop). Every libpulse call on the connection
// made outside those callbacks holds its lock (PulseConnection::Lock); callbacks run with the
// lock held. Waits for the server are bounded: a server that stops answering costs a time-out,
// never a hang.
namespace qm::pulse {

class PulseConnection {
  public:
    // Called on the loop thread with the lock held.
    using EventHandler =
        std::function<void(pa_subscription_event_type_t event, std::uint32_t index)>;
    using StateHandler = std::function<void(pa_context_state_t state)>;

    // Connects to `server` (empty: the user's server as libpulse finds it; a server is never
    // spawned) and waits up to `timeout` until the connection is ready. Null, with the reason in
    // `error`, when it is not.
    static std::shared_ptr<PulseConnection> open(const std::string& clientName,
                                                 const std::string& server, Duration timeout,
                                                 std::string& error);
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;
    // Disconnects and ends the loop thread. Streams of the connection must be gone by then.
    ~PulseConnection();

    class Lock {
      public:
        explicit Lock(const PulseConnection& connection);
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        ~Lock();

      private:
        pa_threaded_mainloop* mainloop_;
    };

    pa_context* context() const { return context_; }
    // Holding the lock.
    bool ready() const;

    // Holding the lock, and never on the loop thread: waits until `done()` holds or `timeout`
    // passes. Callbacks that may make `done()` true call signal(). False on time-out.
    bool waitLocked(const std::function<bool()>& done, Duration timeout) const;
    // Holding the lock: wakes every waitLocked so that it checks its condition again.
    void signal() const;
    // Holding the lock: waits for `operation` (which sets `done` from its callback and signals)
    // and releases it; cancels it when the wait runs out. False on a null operation or time-out.
    bool finish(pa_operation* operation, const bool& done, Duration timeout) const;

    // Holding the lock: events of `mask` go to `handler` (an empty one drops them), and state
    // changes after the connection was made go to `stateHandler`.
    bool subscribe(pa_subscription_mask_t mask, EventHandler handler, Duration timeout);
    void setStateHandler(StateHandler handler);

    // Holding the lock: ends the connection now. Pending operations are dropped without their
    // callbacks; streams still open see their end.
    void disconnect();

    // Loads a module with its arguments; its index, or nothing when the server refused.
    std::optional<std::uint32_t> loadModule(const std::string& name, const std::string& arguments,
                                            Duration timeout);
    bool unloadModule(std::uint32_t index, Duration timeout);

  private:
    PulseConnection() = default;
    static void onState(pa_context* context, void* self);
    static void onEvent(pa_context* context, pa_subscription_event_type_t event,
                        std::uint32_t index, void* self);

    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    EventHandler eventHandler_;
    StateHandler stateHandler_;
};

// The connection's volume scale: 0.0 … 1.0 of the server's normal volume, as volume controls
// show it in percent.
pa_volume_t volumeFromLevel(float level);
float levelFromVolume(pa_volume_t volume);

}  // namespace qm::pulse
