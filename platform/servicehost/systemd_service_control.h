#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/servicehost/service_control.h"

// The service manager of a Linux machine: systemd, driven over D-Bus (org.freedesktop.systemd1).
// A service "<name>" is the unit "<name>.service".
namespace qm::servicehost {

// What systemd tells of a unit at one moment.
struct UnitSnapshot {
    std::string activeState;  // active, reloading, inactive, failed, activating, deactivating
    std::string subState;     // running, dead, start, auto-restart, stop-sigterm, ...
    std::string result;       // success, exit-code, signal, timeout, ...
    std::string jobType;      // the type of the unit's pending job ("start", "stop"); empty: none
    std::string statusText;   // what the service last reported with STATUS=
    std::uint64_t timeoutStartUsec = 0;
    std::uint64_t timeoutStopUsec = 0;
};

// The unit's state as a service manager's state: a pending start job or "activating" is a
// pending start, a pending stop job or "deactivating" a pending stop; "active" and "reloading"
// are running; "inactive", "failed" and a unit that waits to be restarted after a failure
// ("activating" / "auto-restart") are stopped.
ServiceState serviceStateOf(const UnitSnapshot& unit);

// "active (running)", "inactive (dead)", "failed (Result: exit-code)", with the start or stop job
// that is pending.
std::string describeUnit(const UnitSnapshot& unit);

// A D-Bus error from systemd or the bus as a Win32 status code: access refused (also when polkit
// would have to ask for a password) ERROR_ACCESS_DENIED, no such unit
// ERROR_SERVICE_DOES_NOT_EXIST, a masked unit ERROR_SERVICE_DISABLED, no reply in time
// ERROR_SERVICE_REQUEST_TIMEOUT, the manager gone RPC_S_SERVER_UNAVAILABLE, anything else
// ERROR_GEN_FAILURE.
long win32ErrorOfBusError(const std::string& errorName);

// The check point of a pending start or stop: it grows each time the unit's state, its job or
// its status text changes while the step is pending, so a waiter sees that systemd is getting
// on; it is 0 outside pending states.
class UnitProgress {
  public:
    std::uint32_t update(const UnitSnapshot& unit, ServiceState state);

  private:
    std::string last_;
    std::uint32_t checkPoint_ = 0;
};

// Connects to systemd on the system bus, or on the bus at `address` (tests start a fake systemd
// on a bus of their own). Reaching the bus without finding systemd on it counts as not reaching
// the manager.
class SystemdServiceControlConnector final : public ServiceControlConnector {
  public:
    explicit SystemdServiceControlConnector(std::optional<std::string> address = std::nullopt);

    std::unique_ptr<ServiceControlManager> openManager(long& error) override;

    // QM_SYSTEMD_ADDRESS when set, else the system bus.
    static std::optional<std::string> addressFromEnvironment();

  private:
    std::optional<std::string> address_;
};

}  // namespace qm::servicehost
