#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/servicehost/service_host.h"

namespace qm::servicehost {

// A service manager for tests: records every reported state and lets the test send controls.
//
// sendControl calls the registered handler on the calling thread, which plays the host's control
// thread. A test that runs the service on one thread sends controls from another, or from an
// onReport hook (for example a stop as soon as RUNNING is reported).
class FakeServiceHost final : public ServiceHost {
  public:
    bool registerControlHandler(ControlSource source, ControlHandler handler) override;
    void unregisterControlHandler() override;
    void reportStatus(ServiceState state) override;

    // Makes the next registrations fail, as a refused handler registration would.
    void setRegistrationFails(bool fails);
    // Runs after each report, on the reporting thread, outside the host's lock.
    void onReport(std::function<void(ServiceState)> hook);

    // Delivers a control to the registered handler; nothing when no handler is registered.
    std::optional<std::uint32_t> sendControl(ServiceControl control);

    std::vector<ServiceState> states() const;
    bool handlerRegistered() const;
    // The source asked for by the latest successful registration.
    std::optional<ControlSource> registeredSource() const;
    int registrationCount() const;
    // Waits, at most `timeout` of real time, until `state` has been reported.
    bool waitForState(ServiceState state, std::chrono::milliseconds timeout) const;

  private:
    // Held while a control is delivered and while the handler changes; recursive so a handler
    // may report a state whose hook sends a further control.
    mutable std::recursive_mutex handlerMutex_;
    ControlHandler handler_;
    std::optional<ControlSource> source_;
    bool registrationFails_ = false;
    int registrations_ = 0;

    mutable std::mutex stateMutex_;
    mutable std::condition_variable stateChanged_;
    std::vector<ServiceState> states_;
    std::function<void(ServiceState)> hook_;
};

}  // namespace qm::servicehost
