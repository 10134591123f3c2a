#include "platform/servicehost/systemd_service_control.h"

#include <gtest/gtest.h>

#include "common/runtime/virtual_clock.h"
#include "platform/servicehost/file_errors.h"
#include "platform/servicehost/service_wait.h"
#include "support/fake_systemd.h"
#include "support/private_bus.h"

namespace qm::servicehost {
namespace {

using namespace std::chrono_literals;

UnitSnapshot unitIn(std::string active, std::string sub, std::string result = {},
                    std::string job = {}) {
    UnitSnapshot unit;
    unit.activeState = std::move(active);
    unit.subState = std::move(sub);
    unit.result = std::move(result);
    unit.jobType = std::move(job);
    return unit;
}

TEST(SystemdUnitState, PendingJobsAndActiveStatesMapOntoServiceStates) {
    const struct {
        UnitSnapshot unit;
        ServiceState state;
        const char* words;
    } cases[] = {
        {unitIn("active", "running"), ServiceState::Running, "active (running)"},
        {unitIn("inactive", "dead"), ServiceState::Stopped, "inactive (dead)"},
        {unitIn("failed", "failed", "exit-code"), ServiceState::Stopped,
         "failed (Result: exit-code)"},
        {unitIn("activating", "start"), ServiceState::StartPending, "activating (start)"},
        {unitIn("activating", "auto-restart"), ServiceState::Stopped, "activating (auto-restart)"},
        {unitIn("deactivating", "stop-sigterm"), ServiceState::StopPending,
         "deactivating (stop-sigterm)"},
        {unitIn("inactive", "dead", "", "start"), ServiceState::StartPending,
         "inactive (dead), start job pending"},
        {unitIn("active", "running", "", "stop"), ServiceState::StopPending,
         "active (running), stop job pending"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serviceStateOf(c.unit), c.state) << c.words;
        EXPECT_EQ(describeUnit(c.unit), c.words);
    }

    // The check point grows while the pending step changes and starts over after it.
    UnitProgress progress;
    UnitSnapshot unit = unitIn("activating", "start");
    EXPECT_EQ(progress.update(unit, ServiceState::StartPending), 0u);
    EXPECT_EQ(progress.update(unit, ServiceState::StartPending), 0u);
    unit.statusText = "Scanning bridges";
    EXPECT_EQ(progress.update(unit, ServiceState::StartPending), 1u);
    EXPECT_EQ(progress.update(unitIn("active", "running"), ServiceState::Running), 0u);
}

class SystemdControl : public ::testing::Test {
  protected:
    std::unique_ptr<ControlledService> open(const std::string& name, long& error) {
        SystemdServiceControlConnector connector(bus_.address());
        manager_ = connector.openManager(error);
        EXPECT_NE(manager_, nullptr);
        return manager_ ? manager_->openService(name, error) : nullptr;
    }

    qm::testing::PrivateBus bus_;
    VirtualClock clock_;
    qm::testing::FakeSystemd systemd_{bus_.address(), clock_, {}};
    std::unique_ptr<ServiceControlManager> manager_;
};

TEST_F(SystemdControl, StartsAndStopsTheUnitThroughItsJobs) {
    long error = -1;
    auto service = open("qmMicHost", error);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(error, ERROR_SUCCESS);
    EXPECT_EQ(service->describeState(), "inactive (dead)");

    std::vector<ServiceStatus> seen;
    ServiceWaitOptions options(clock_);
    options.progress = [&](const ServiceStatus& status) { seen.push_back(status); };
    const TimePoint begin = clock_.now();
    EXPECT_EQ(StartServiceAndWait(*service, options), sdk::S_OK);
    EXPECT_GE(clock_.now() - begin, 3s);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[1].state, ServiceState::StartPending);
    EXPECT_EQ(seen[1].waitHint, 10000u);  // TimeoutStartUSec
    EXPECT_EQ(service->describeState(), "active (running)");

    EXPECT_EQ(StopServiceAndWait(*service, options), sdk::S_OK);
    EXPECT_EQ(systemd_.activeState(), "inactive");
    EXPECT_EQ(systemd_.calls(), (std::vector<std::string>{"StartUnit qmMicHost.service replace",
                                                          "StopUnit qmMicHost.service replace"}));

    systemd_.setStartFails(true);
    EXPECT_EQ(StartServiceAndWait(*service, options), sdk::E_FAIL);
    EXPECT_EQ(service->describeState(), "failed (Result: exit-code)");
}

TEST_F(SystemdControl, UnknownUnitsBadNamesAndABusWithoutSystemdAreErrors) {
    long error = 0;
    EXPECT_EQ(open("qmOther", error), nullptr);
    EXPECT_EQ(error, 1060);  // ERROR_SERVICE_DOES_NOT_EXIST
    EXPECT_EQ(open("../qmMicHost", error), nullptr);
    EXPECT_EQ(error, 123);  // ERROR_INVALID_NAME

    qm::testing::PrivateBus empty;
    SystemdServiceControlConnector connector(empty.address());
    EXPECT_EQ(connector.openManager(error), nullptr);
    EXPECT_EQ(error, 1722);  // RPC_S_SERVER_UNAVAILABLE
}

}  // namespace
}  // namespace qm::servicehost
