#include <gtest/gtest.h>

#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "platform/servicehost/fake/fake_service_control.h"
#include "platform/servicehost/systemd_service_control.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/controls/status_bar.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/frame_fixture.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/service_control_flow.h"
#include "studio/shell/source_list_ctrl.h"
#include "support/fake_systemd.h"
#include "support/private_bus.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;

// The studio driving a fake systemd on a private bus; the unit's activity is what the fake
// service connector sees, as the real service joins and leaves the bus.
class ServiceControlTest : public FrameFixture {
  protected:
    ServiceControlTest() {
        systemd_.onActiveChanged([this](bool active) { connector_.announce(active); });
    }

    void adjust(StudioEnvironment& environment) override { environment.serviceManager = &manager_; }

    CMainFrame& startRunning() {
        CMainFrame& frame = start();
        settle();  // the first read of the service's state
        return frame;
    }
    int listed(CMainFrame& frame) { return frame.sourcePane()->list()->deviceCount(); }
    QString serviceTabTip(CMainFrame& frame) { return frame.ribbon()->tabToolTip(3); }

    qm::testing::PrivateBus bus_;
    qm::testing::FakeSystemd systemd_{bus_.address(), clock_, {.active = true}};
    servicehost::SystemdServiceControlConnector manager_{bus_.address()};
};

TEST_F(ServiceControlTest, StopStartAndRestartReconnectTheStudio) {
    CMainFrame& frame = startRunning();
    EXPECT_FALSE(enabled(ids::kServiceStart));
    EXPECT_TRUE(enabled(ids::kServiceStop));
    EXPECT_EQ(serviceTabTip(frame), QStringLiteral("active (running)"));
    const int microphones = listed(frame);
    ASSERT_GT(microphones, 0);
    frame.sourcePane()->list()->selectDevice("SN1001");
    parts_.calls.clear();

    // Stop: the studio lets go first and stays disconnected; the service leaving the bus is
    // not reported as an unexpected end.
    frame.onCommand(ids::kServiceStop);
    EXPECT_FALSE(enabled(ids::kServiceRestart));
    EXPECT_EQ(listed(frame), 0);
    EXPECT_TRUE(parts_.called("stopCapture"));
    EXPECT_TRUE(frame.frameStatusBar()->progressVisible());
    settle();
    EXPECT_FALSE(frame.frameStatusBar()->progressVisible());
    EXPECT_EQ(systemd_.activeState(), "inactive");
    EXPECT_FALSE(app_->connection().connected());
    EXPECT_EQ(listed(frame), 0);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(enabled(ids::kServiceStart));
    EXPECT_FALSE(enabled(ids::kRefresh));
    EXPECT_EQ(serviceTabTip(frame), QStringLiteral("inactive (dead)"));

    // Start waits through "activating" and connects, advises and fills the list again.
    const int connects = connector_.connects;
    const TimePoint before = clock_.now();
    frame.onCommand(ids::kServiceStart);
    settle();
    EXPECT_GE(clock_.now() - before, 3s);
    EXPECT_EQ(systemd_.activeState(), "active");
    EXPECT_TRUE(app_->connection().connected());
    EXPECT_EQ(connector_.connects, connects + 1);
    EXPECT_EQ(listed(frame), microphones);
    EXPECT_TRUE(enabled(ids::kRefresh));

    frame.onCommand(ids::kServiceRestart);
    settle();
    EXPECT_TRUE(app_->connection().connected());
    EXPECT_EQ(listed(frame), microphones);
    EXPECT_EQ(systemd_.calls(),
              (std::vector<std::string>{
                  "StopUnit qmMicHost.service replace", "StartUnit qmMicHost.service replace",
                  "StopUnit qmMicHost.service replace", "StartUnit qmMicHost.service replace"}));
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(ServiceControlTest, AFailedStartSaysWhyAndLeavesTheStudioDisconnected) {
    CMainFrame& frame = startRunning();
    systemd_.setStartFails(true);
    frame.onCommand(ids::kServiceRestart);
    settle();
    EXPECT_FALSE(app_->connection().connected());
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text,
              QStringLiteral("Error start service qmMicHost\n\nfailed (Result: exit-code)"));
    EXPECT_EQ(prompts_.messages[0].icon, UserPrompts::Icon::Error);
    EXPECT_TRUE(enabled(ids::kServiceStart));
}

// The same flow over the scripted service manager: the cases a systemd on a bus can't easily
// show.
class ScriptedServiceControlTest : public FrameFixture {
  protected:
    void adjust(StudioEnvironment& environment) override { environment.serviceManager = &manager_; }
    servicehost::FakeServiceControl manager_{clock_, {servicehost::ServiceState::Running}};
};

TEST_F(ScriptedServiceControlTest, ANotInstalledServiceAndAHangingStartAreReported) {
    CMainFrame& frame = start();
    settle();
    manager_.setOpenError(1060);
    frame.onCommand(ids::kServiceStart);
    settle();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, QStringLiteral("Error open service qmMicHost"));
    EXPECT_FALSE(app_->connection().connected());

    manager_.setOpenError(0);
    manager_.onStart([](Duration) {
        return servicehost::ServiceStatus{servicehost::ServiceState::StartPending, 1, 3000};
    });
    // Without a journal, the error comes from the service's own log of the day.
    const std::filesystem::path logs = registry_.folder.path() / "logs";
    std::filesystem::create_directories(logs);
    std::ofstream(logs / "qmMicHost [2026.12.05].log")
        << "\xEF\xBB\xBF"
           "09:00:00:000 --> <Info> StartService\r\n"
        << "09:00:01:000 --> <Error> Bridge scan failed: permission denied\r\n"
        << "09:00:02:000 --> <Info> FinalRelease\r\n";
    ASSERT_EQ(registry::writeString(devicesKey(), "LogFolder", logs.string()),
              registry::ERROR_SUCCESS);
    manager_.setDescription("activating (start)", "");
    frame.onCommand(ids::kServiceRestart);
    settle();
    ASSERT_EQ(prompts_.messages.size(), 2u);
    EXPECT_EQ(prompts_.messages[1].text,
              QStringLiteral("Error start service qmMicHost\n\nactivating (start)\n"
                             "Bridge scan failed: permission denied"));
    EXPECT_EQ(manager_.stops(), 1);
    EXPECT_FALSE(app_->connection().connected());

    // A stop that never ends gives up after the limit with its own message.
    manager_.setStatus({servicehost::ServiceState::StopPending, 1, 3000});
    frame.onCommand(ids::kServiceStop);
    settle();
    ASSERT_EQ(prompts_.messages.size(), 3u);
    EXPECT_EQ(prompts_.messages[2].text, QStringLiteral("Error stop service qmMicHost"));
}

TEST_F(ScriptedServiceControlTest, WithoutAServiceManagerTheListCanStillBeRefreshed) {
    manager_.setManagerError(1722);
    start();
    settle();
    EXPECT_TRUE(enabled(ids::kRefresh));
    EXPECT_FALSE(enabled(ids::kServiceStart));
    EXPECT_FALSE(enabled(ids::kServiceRestart));
}

}  // namespace
}  // namespace qm::studio::testing
