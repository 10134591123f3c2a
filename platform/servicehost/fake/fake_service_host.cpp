#include "platform/servicehost/fake/fake_service_host.h"

#include <algorithm>

namespace qm::servicehost {

bool FakeServiceHost::registerControlHandler(ControlSource source, ControlHandler handler) {
    std::lock_guard guard(handlerMutex_);
    if (registrationFails_ || handler_ || !handler) {
        return false;
    }
    handler_ = std::move(handler);
    source_ = source;
    ++registrations_;
    return true;
}

void FakeServiceHost::unregisterControlHandler() {
    std::lock_guard guard(handlerMutex_);
    handler_ = nullptr;
}

void FakeServiceHost::reportStatus(ServiceState state) {
    std::function<void(ServiceState)> hook;
    {
        std::lock_guard guard(stateMutex_);
        states_.push_back(state);
        hook = hook_;
        stateChanged_.notify_all();
    }
    if (hook) {
        hook(state);
    }
}

void FakeServiceHost::setRegistrationFails(bool fails) {
    std::lock_guard guard(handlerMutex_);
    registrationFails_ = fails;
}

void FakeServiceHost::onReport(std::function<void(ServiceState)> hook) {
    std::lock_guard guard(stateMutex_);
    hook_ = std::move(hook);
}

std::optional<std::uint32_t> FakeServiceHost::sendControl(ServiceControl control) {
    std::lock_guard guard(handlerMutex_);
    if (!handler_) {
        return std::nullopt;
    }
    return handler_(control);
}

std::vector<ServiceState> FakeServiceHost::states() const {
    std::lock_guard guard(stateMutex_);
    return states_;
}

bool FakeServiceHost::handlerRegistered() const {
    std::lock_guard guard(handlerMutex_);
    return static_cast<bool>(handler_);
}

std::optional<ControlSource> FakeServiceHost::registeredSource() const {
    std::lock_guard guard(handlerMutex_);
    return source_;
}

int FakeServiceHost::registrationCount() const {
    std::lock_guard guard(handlerMutex_);
    return registrations_;
}

bool FakeServiceHost::waitForState(ServiceState state, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(stateMutex_);
    return stateChanged_.wait_for(lock, timeout, [&] {
        return std::find(states_.begin(), states_.end(), state) != states_.end();
    });
}

}  // namespace qm::servicehost
