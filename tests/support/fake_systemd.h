#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/runtime/clock.h"

namespace sdbus {
class IConnection;
class IObject;
}  // namespace sdbus

namespace qm::testing {

// A small stand-in for systemd's D-Bus API on a test's private bus: the name
// org.freedesktop.systemd1 with the manager's LoadUnit, StartUnit and StopUnit, and one service
// unit with the properties a client reads (LoadState, ActiveState, SubState, Job, InvocationID;
// Result, StatusText, TimeoutStartUSec, TimeoutStopUSec). A start or stop goes through
// "activating" or "deactivating" for the time the test sets, measured on the given clock, and
// ends "active", "inactive" or, for a start the test makes fail, "failed" with Result
// "exit-code". Other units are unknown (NoSuchUnit).
class FakeSystemd {
  public:
    struct Unit {
        std::string name = "qmMicHost.service";
        bool installed = true;
        bool active = false;
        Duration startTime = std::chrono::seconds(3);
        Duration stopTime = std::chrono::seconds(2);
        bool startFails = false;
        std::uint64_t timeoutStartUsec = 10'000'000;
        std::uint64_t timeoutStopUsec = 10'000'000;
    };
    // Told on the bus's thread when the unit becomes active (true) or inactive (false).
    using ActiveHandler = std::function<void(bool)>;

    FakeSystemd(const std::string& busAddress, Clock& clock, Unit unit);
    ~FakeSystemd();
    FakeSystemd(const FakeSystemd&) = delete;
    FakeSystemd& operator=(const FakeSystemd&) = delete;

    void onActiveChanged(ActiveHandler handler);
    void setStartFails(bool fails);
    // "StartUnit qmMicHost.service replace", "StopUnit ...", in the order they came.
    std::vector<std::string> calls() const;
    // "active", "activating", ...
    std::string activeState() const;

  private:
    struct State;
    void evaluateLocked() const;
    std::string queueJob(const std::string& method, const std::string& unit,
                         const std::string& mode);
    void checkUnit(const std::string& unit) const;

    Clock& clock_;
    std::unique_ptr<State> state_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> manager_;
    std::unique_ptr<sdbus::IObject> unit_;
};

}  // namespace qm::testing
