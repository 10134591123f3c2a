#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/sdk/hresult.h"
#include "platform/servicehost/service_state.h"

// The service manager as a program that controls a service sees it (the studio starting,
// stopping and restarting the microphone service): connect to the manager, open a service by
// name, query its status, start it, stop it. Results are Win32 status codes (0 is success).
namespace qm::servicehost {

inline constexpr long ERROR_SERVICE_REQUEST_TIMEOUT = sdk::ERROR_SERVICE_REQUEST_TIMEOUT;
inline constexpr long ERROR_SERVICE_DISABLED = 1058;
inline constexpr long ERROR_SERVICE_DOES_NOT_EXIST = 1060;
inline constexpr long RPC_S_SERVER_UNAVAILABLE = 1722;

// A service's status as the manager reports it. While a start or a stop is pending the check
// point grows each time the service makes progress, and the wait hint says how long (ms) the
// manager expects the pending step to take; both are 0 in the other states.
struct ServiceStatus {
    ServiceState state = ServiceState::Stopped;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

// One service, opened through its manager. Used by one thread at a time.
class ControlledService {
  public:
    virtual ~ControlledService() = default;

    virtual long queryStatus(ServiceStatus& status) = 0;
    // Asks the manager to start the service (without arguments); returns once the manager has
    // taken the request, before the service runs.
    virtual long start() = 0;
    // Sends the stop control; `status` gets the service's status right after it.
    virtual long stop(ServiceStatus& status) = 0;

    // The service's state in the manager's own words, for people: "active (running)",
    // "failed (exit-code)", "inactive (dead)". Empty when the manager can't be asked.
    virtual std::string describeState() = 0;
    // The last error the service reported where the manager keeps its output; empty when none
    // can be read.
    virtual std::string lastErrorLine() = 0;
};

// The service manager, connected.
class ServiceControlManager {
  public:
    virtual ~ServiceControlManager() = default;

    // The named service, or nothing with `error` set: ERROR_SERVICE_DOES_NOT_EXIST when it isn't
    // installed, ERROR_ACCESS_DENIED when this user may not see it, ...
    virtual std::unique_ptr<ControlledService> openService(const std::string& name,
                                                           long& error) = 0;
};

// Reaches the service manager.
class ServiceControlConnector {
  public:
    virtual ~ServiceControlConnector() = default;

    // The manager, or nothing with `error` set when it can't be reached.
    virtual std::unique_ptr<ServiceControlManager> openManager(long& error) = 0;
};

}  // namespace qm::servicehost
