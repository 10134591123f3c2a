#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "com_test_support.h"

namespace qm::com {
namespace {

using servicehost::ControlSource;
using servicehost::ServiceControl;
using servicehost::ServiceState;
using testing::ModuleRig;

using Events = std::vector<std::string>;

TEST(ModuleRun, StartsAndStopsInTheFixedOrder) {
    ModuleRig rig;
    rig.serveUntilStoppedInTheLoop(ControlSource::Service);

    EXPECT_EQ(rig.recorder().events(), (Events{
                                           "report SERVICE_START_PENDING",
                                           "registerClassObjects",
                                           "report SERVICE_RUNNING",
                                           "createDeviceManager",
                                           "registerEndpointNotifications",
                                           "WriteLog 0 RUN - RegisterEndpointNotificationCallback",
                                           "report SERVICE_STOP_PENDING",
                                           "NotifyRelease at 0 ms",
                                           "manager released at 100 ms",
                                           "revokeClassObjects",
                                           "runtime closed",
                                           "report SERVICE_STOPPED",
                                       }));
    // The pause is the only time that passed, and it passed on the module's clock.
    EXPECT_EQ(rig.clock().sleepCount(), 1u);
    EXPECT_EQ(rig.clock().sleptTotal(), std::chrono::milliseconds(100));
    EXPECT_EQ(rig.module().exitCode(), sdk::S_OK);
    EXPECT_FALSE(rig.host().handlerRegistered());
}

TEST(ModuleRun, AFailedEndpointRegistrationIsLoggedAsAnError) {
    ModuleRig rig;
    rig.script().endpointRegistrationSucceeds = false;
    rig.serveUntilStoppedInTheLoop(ControlSource::Service);
    EXPECT_TRUE(rig.recorder().contains("WriteLog 2 RUN - RegisterEndpointNotificationCallback"));
    EXPECT_FALSE(rig.recorder().contains("WriteLog 0 RUN - RegisterEndpointNotificationCallback"));
    EXPECT_EQ(rig.module().exitCode(), sdk::S_OK);  // the service runs all the same
}

TEST(ModuleRun, ClassObjectsThatCantBeRegisteredEndTheRun) {
    ModuleRig rig;
    rig.script().registerResult = sdk::E_ACCESSDENIED;
    rig.module().ServiceMain(ControlSource::Service);

    EXPECT_EQ(rig.recorder().events(), (Events{
                                           "report SERVICE_START_PENDING",
                                           "registerClassObjects",
                                           "runtime closed",
                                           "report SERVICE_STOPPED",
                                       }));
    EXPECT_EQ(rig.module().exitCode(), sdk::E_ACCESSDENIED);
    EXPECT_EQ(rig.clock().sleepCount(), 0u);
}

TEST(ModuleRun, WithoutADeviceManagerItServesUntilStopped) {
    ModuleRig rig;
    rig.script().createsManager = false;
    rig.serveUntilStoppedInTheLoop(ControlSource::Service);

    EXPECT_EQ(rig.recorder().events(), (Events{
                                           "report SERVICE_START_PENDING",
                                           "registerClassObjects",
                                           "report SERVICE_RUNNING",
                                           "createDeviceManager",
                                           "report SERVICE_STOP_PENDING",
                                           "revokeClassObjects",
                                           "runtime closed",
                                           "report SERVICE_STOPPED",
                                       }));
    EXPECT_EQ(rig.clock().sleepCount(), 0u);
    EXPECT_EQ(rig.module().exitCode(), sdk::S_OK);
    EXPECT_EQ(rig.errors(),
              "qmMicHost: the device manager could not be created; serving without it\n");
}

TEST(ModuleRun, ARuntimeThatCantBeMadeFailsTheRun) {
    ModuleRig rig;
    rig.stopWhenReported(std::nullopt);
    CServiceModule module(
        ModuleContext{rig.store(), rig.host(), rig.installer(), rig.clock(),
                      [](const RuntimeContext&) { return std::unique_ptr<ServerRuntime>(); },
                      std::cerr, "/x", nullptr});
    module.ServiceMain(ControlSource::Service);
    EXPECT_EQ(module.exitCode(), sdk::E_FAIL);
    EXPECT_EQ(rig.host().states(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::Stopped}));
}

TEST(ModuleRun, WaitsForTheStopControlAndReleasesOnlyItsOwnReference) {
    ModuleRig rig;
    rig.stopWhenReported(std::nullopt);
    rig.script().clientHoldsManager = true;  // a client is connected
    std::thread service([&] { rig.module().ServiceMain(ControlSource::Service); });

    // The main thread waits in its message loop on the module's clock.
    rig.clock().awaitBlocked(1);
    EXPECT_EQ(rig.module().currentState(), ServiceState::Running);
    EXPECT_FALSE(rig.recorder().contains("NotifyRelease at 0 ms"));
    EXPECT_TRUE(rig.recorder().contains("WriteLog 0 RUN - RegisterEndpointNotificationCallback"));

    // The stop control arrives on another thread, as the service manager's does.
    EXPECT_EQ(rig.host().sendControl(ServiceControl::Stop), 0u);
    service.join();

    const Events events = rig.recorder().events();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(Events(events.end() - 5, events.end()),
              (Events{"report SERVICE_STOP_PENDING", "NotifyRelease at 0 ms", "revokeClassObjects",
                      "runtime closed", "report SERVICE_STOPPED"}));
    // The client's reference keeps the manager; the module holds none any more.
    EXPECT_EQ(rig.script().clientReference.use_count(), 1);
    EXPECT_FALSE(rig.recorder().contains("manager released at 100 ms"));
    EXPECT_EQ(rig.clock().sleptTotal(), std::chrono::milliseconds(100));
    rig.script().clientReference.reset();
    EXPECT_TRUE(rig.recorder().contains("manager released at 100 ms"));
}

TEST(ModuleRun, ShutdownStopsLikeStopAndOtherControlsOnlySucceed) {
    ModuleRig rig;
    rig.stopWhenReported(std::nullopt);
    std::thread service([&] { rig.module().ServiceMain(ControlSource::Service); });
    rig.clock().awaitBlocked(1);
    EXPECT_EQ(rig.module().Handler(static_cast<ServiceControl>(4)), 0u);  // interrogate
    EXPECT_EQ(rig.module().currentState(), ServiceState::Running);
    EXPECT_EQ(rig.host().sendControl(ServiceControl::Shutdown), 0u);
    service.join();
    EXPECT_EQ(rig.module().currentState(), ServiceState::Stopped);
    EXPECT_TRUE(rig.recorder().contains("NotifyRelease at 0 ms"));
}

TEST(ModuleRun, AStopDuringStartUpIsNotLost) {
    ModuleRig rig;
    // The stop arrives while the class objects are registered, before the loop runs.
    rig.stopWhenReported(ServiceState::StartPending);
    rig.module().ServiceMain(ControlSource::Application);
    EXPECT_EQ(rig.host().registeredSource(), ControlSource::Application);
    // Once stopping, the service never claims to run.
    EXPECT_EQ(rig.host().states(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::StopPending,
                                         ServiceState::Stopped}));
    EXPECT_TRUE(rig.recorder().contains("NotifyRelease at 0 ms"));
}

}  // namespace
}  // namespace qm::com
