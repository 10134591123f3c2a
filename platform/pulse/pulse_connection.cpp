#include "platform/pulse/pulse_connection.h"

#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/rtclock.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace qm::pulse {
namespace {

pa_usec_t microseconds(Duration d) {
    return static_cast<pa_usec_t>(std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::microseconds>(d).count()));
}

struct TimeOut {
    const PulseConnection* connection;
    bool expired = false;
};

}  // namespace

std::shared_ptr<PulseConnection> PulseConnection::open(const std::string& clientName,
                                                       const std::string& server, Duration timeout,
                                                       std::string& error) {
    std::shared_ptr<PulseConnection> connection(new PulseConnection());
    connection->mainloop_ = pa_threaded_mainloop_new();
    if (connection->mainloop_ == nullptr) {
        error = "cannot create the sound server's main loop";
        return nullptr;
    }
    pa_threaded_mainloop_set_name(connection->mainloop_, "qm-pulse");
    connection->context_ =
        pa_context_new(pa_threaded_mainloop_get_api(connection->mainloop_), clientName.c_str());
    if (connection->context_ == nullptr) {
        error = "cannot create a sound server context";
        return nullptr;
    }
    pa_context_set_state_callback(connection->context_, &PulseConnection::onState,
                                  connection.get());
    pa_context_set_subscribe_callback(connection->context_, &PulseConnection::onEvent,
                                      connection.get());
    if (pa_threaded_mainloop_start(connection->mainloop_) < 0) {
        error = "cannot start the sound server's main loop";
        return nullptr;
    }
    Lock lock(*connection);
    if (pa_context_connect(connection->context_, server.empty() ? nullptr : server.c_str(),
                           PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        error = pa_strerror(pa_context_errno(connection->context_));
        return nullptr;
    }
    const auto settled = [&] {
        const pa_context_state_t state = pa_context_get_state(connection->context_);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    };
    if (!connection->waitLocked(settled, timeout)) {
        error = "the sound server did not answer in time";
        return nullptr;
    }
    if (!connection->ready()) {
        error = pa_strerror(pa_context_errno(connection->context_));
        return nullptr;
    }
    return connection;
}

PulseConnection::~PulseConnection() {
    if (mainloop_ == nullptr) {
        return;
    }
    if (context_ != nullptr) {
        Lock lock(*this);
        disconnect();
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_stop(mainloop_);
    pa_threaded_mainloop_free(mainloop_);
}

PulseConnection::Lock::Lock(const PulseConnection& connection) : mainloop_(connection.mainloop_) {
    pa_threaded_mainloop_lock(mainloop_);
}

PulseConnection::Lock::~Lock() {
    pa_threaded_mainloop_unlock(mainloop_);
}

bool PulseConnection::ready() const {
    return pa_context_get_state(context_) == PA_CONTEXT_READY;
}

void PulseConnection::signal() const {
    pa_threaded_mainloop_signal(mainloop_, 0);
}

bool PulseConnection::waitLocked(const std::function<bool()>& done, Duration timeout) const {
    if (done()) {
        return true;
    }
    TimeOut timer{this};
    pa_time_event* event = pa_context_rttime_new(
        context_, pa_rtclock_now() + microseconds(timeout),
        [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
            auto* t = static_cast<TimeOut*>(data);
            t->expired = true;
            t->connection->signal();
        },
        &timer);
    if (event == nullptr) {
        return false;
    }
    while (!done() && !timer.expired) {
        pa_threaded_mainloop_wait(mainloop_);
    }
    pa_threaded_mainloop_get_api(mainloop_)->time_free(event);
    return done();
}

bool PulseConnection::finish(pa_operation* operation, const bool& done, Duration timeout) const {
    if (operation == nullptr) {
        return false;
    }
    const bool finished = waitLocked([&] { return done; }, timeout);
    if (!finished) {
        pa_operation_cancel(operation);  // its callback will not run any more
    }
    pa_operation_unref(operation);
    return finished;
}

void PulseConnection::onState(pa_context* context, void* self) {
    auto* connection = static_cast<PulseConnection*>(self);
    connection->signal();
    if (connection->stateHandler_) {
        connection->stateHandler_(pa_context_get_state(context));
    }
}

void PulseConnection::onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t index,
                              void* self) {
    auto* connection = static_cast<PulseConnection*>(self);
    if (connection->eventHandler_) {
        connection->eventHandler_(event, index);
    }
}

void PulseConnection::disconnect() {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    eventHandler_ = {};
    stateHandler_ = {};
    pa_context_disconnect(context_);
}

void PulseConnection::setStateHandler(StateHandler handler) {
    stateHandler_ = std::move(handler);
}

namespace {

struct Completion {
    const PulseConnection* connection;
    bool done = false;
    bool success = false;
    std::uint32_t index = PA_INVALID_INDEX;
};

void onSuccess(pa_context*, int success, void* data) {
    auto* c = static_cast<Completion*>(data);
    c->success = success != 0;
    c->done = true;
    c->connection->signal();
}

}  // namespace

bool PulseConnection::subscribe(pa_subscription_mask_t mask, EventHandler handler,
                                Duration timeout) {
    eventHandler_ = std::move(handler);
    Completion completion{this};
    return finish(pa_context_subscribe(context_, mask, &onSuccess, &completion), completion.done,
                  timeout) &&
           completion.success;
}

std::optional<std::uint32_t> PulseConnection::loadModule(const std::string& name,
                                                         const std::string& arguments,
                                                         Duration timeout) {
    Lock lock(*this);
    Completion completion{this};
    pa_operation* operation = pa_context_load_module(
        context_, name.c_str(), arguments.c_str(),
        [](pa_context*, std::uint32_t index, void* data) {
            auto* c = static_cast<Completion*>(data);
            c->index = index;
            c->done = true;
            c->connection->signal();
        },
        &completion);
    if (!finish(operation, completion.done, timeout) || completion.index == PA_INVALID_INDEX) {
        return std::nullopt;
    }
    return completion.index;
}

bool PulseConnection::unloadModule(std::uint32_t index, Duration timeout) {
    Lock lock(*this);
    Completion completion{this};
    return finish(pa_context_unload_module(context_, index, &onSuccess, &completion),
                  completion.done, timeout) &&
           completion.success;
}

pa_volume_t volumeFromLevel(float level) {
    const double clamped = std::clamp(static_cast<double>(level), 0.0, 1.0);
    return static_cast<pa_volume_t>(std::lround(clamped * PA_VOLUME_NORM));
}

float levelFromVolume(pa_volume_t volume) {
    return static_cast<float>(static_cast<double>(volume) / PA_VOLUME_NORM);
}

}  // namespace qm::pulse
