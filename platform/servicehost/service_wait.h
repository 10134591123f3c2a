#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "common/runtime/clock.h"
#include "common/sdk/hresult.h"
#include "platform/servicehost/service_control.h"

// Starting and stopping a service and waiting until it runs or has stopped, polling its status
// at a pace the service's wait hint sets.
namespace qm::servicehost {

// How long a wait may go on without progress (start) or at all (stop).
inline constexpr std::chrono::milliseconds kServiceWaitLimit{600000};

// A tenth of the wait hint, at least 1000 ms and at most 10 000 ms.
std::chrono::milliseconds servicePollInterval(std::uint32_t waitHintMs);

struct ServiceWaitOptions {
    explicit ServiceWaitOptions(Clock& waitClock) : clock(waitClock) {}

    Clock& clock;
    // Sleeps one poll interval; false when the wait is to be given up (the caller is going
    // away), which ends it with E_ABORT. Empty: the clock's own sleep.
    std::function<bool(Duration)> sleep;
    // Told every status the wait reads.
    std::function<void(const ServiceStatus&)> progress;
};

// Starts a stopped service and waits while its start is pending. The wait gives up when the
// check point hasn't grown for 600 000 ms; a service whose check point keeps growing is waited
// for as long as it does. S_OK when the service runs (at once when it ran already); E_FAIL when
// the start ended in another state; HRESULT_FROM_WIN32(ERROR_SERVICE_START_HANG) when the wait
// gave up; HRESULT_FROM_WIN32(ERROR_INVALID_SERVICE_CONTROL) for a service that is neither
// stopped, running nor starting (one that is stopping); a failed query or start: its error.
sdk::HRESULT StartServiceAndWait(ControlledService& service, const ServiceWaitOptions& options);

// Stops a service: waits for a stop already pending, else sends the stop control, then waits
// until the service has stopped, 600 000 ms at most in all. S_OK when it stopped (at once when
// it was stopped already); HRESULT_FROM_WIN32(ERROR_TIMEOUT) past the limit; a failed query or
// stop control: its error.
sdk::HRESULT StopServiceAndWait(ControlledService& service, const ServiceWaitOptions& options);

}  // namespace qm::servicehost
