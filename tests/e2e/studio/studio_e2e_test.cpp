// The studio against the real service: a private bus, qmMicHost serving virtual microphones, and
// the studio's application object with its main frame on the offscreen platform.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include "common/ipc/bus_names.h"
#include "common/ipc/client.h"
#include "common/ipc/simulator_control.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/temp_registry.h"
#include "studio/shell/dbus_service_connector.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "support/child_process.h"
#include "support/private_bus.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the studio's event loop until `done` holds or `limit` (real time) has passed.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs the studio's event loop for `length` of real time.
void runEventLoop(std::chrono::milliseconds length) {
    QEventLoop loop;
    QTimer::singleShot(length, &loop, &QEventLoop::quit);
    loop.exec();
}

constexpr const char* kFourMicrophones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003,Rowan:SN1004";

class NoEndpoints final : public AudioEndpoints {
  public:
    std::optional<std::string> captureEndpointFor(const sdk::Guid&) override {
        return std::nullopt;
    }
};

class StudioAgainstServiceTest : public ::testing::Test {
  protected:
    StudioAgainstServiceTest() = default;
    ~StudioAgainstServiceTest() override {
        app_.reset();
        if (service_) {
            service_->terminate();
        }
    }

    // qmMicHost serving the given virtual microphones on the test's bus, its registry and logs
    // in the test's folder; returns once it serves them.
    void startService(const char* microphones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003") {
        ::setenv("QM_REGISTRY_DIR", (serviceFolder_.path() / "registry").c_str(), 1);
        ::setenv("QM_LOG_DIR", (serviceFolder_.path() / "logs").c_str(), 1);
        service_ = std::make_unique<qm::testing::ChildProcess>(std::vector<std::string>{
            QM_MICHOST_PATH, "-Runapp", "--bus", bus_.address(), "--simulate", microphones});
        ::unsetenv("QM_REGISTRY_DIR");
        ::unsetenv("QM_LOG_DIR");
        waitForService();
    }

    void waitForService() {
        const auto end = Clock::now() + 10s;
        while (Clock::now() < end) {
            ipc::ClientOptions options;
            options.bus = ipc::BusAddress::explicitAddress(bus_.address());
            options.callTimeout = 500ms;
            if (auto sdk = ipc::connectToService(options);
                sdk && sdk->IsInitialize() == sdk::S_OK) {
                std::shared_ptr<sdk::IEnumQMDevice> devices;
                if (sdk->EnumQMDevice(&devices) == sdk::S_OK)
                    return;
            }
            std::this_thread::sleep_for(20ms);
        }
        FAIL() << "the service did not start serving";
    }

    CMainFrame& startStudio() {
        registry::Key devices;
        EXPECT_EQ(studioRegistry_.store->createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                                                   registry::Access::ReadWrite, devices),
                  registry::ERROR_SUCCESS);
        registry::writeString(devices, "ProfileFolder",
                              (studioRegistry_.folder.path() / "profiles").string());
        StudioEnvironment environment;
        environment.connector = &connector_;
        environment.hooks.endpoints = &endpoints_;
        environment.prompts = &prompts_;
        environment.links = &links_;
        app_ = std::make_unique<CTonecraftApp>(*studioRegistry_.store, std::move(environment));
        EXPECT_TRUE(app_->InitInstance());
        return *app_->mainFrame();
    }

    CSourceListCtrl& list() { return *app_->mainFrame()->sourcePane()->list(); }

    qm::testing::PrivateBus bus_;
    TempFolder serviceFolder_;
    std::unique_ptr<qm::testing::ChildProcess> service_;
    TempRegistry studioRegistry_;
    DbusServiceConnector connector_{ipc::BusAddress::explicitAddress(bus_.address())};
    NoEndpoints endpoints_;
    RecordingPrompts prompts_;
    RecordingLinks links_;
    std::unique_ptr<CTonecraftApp> app_;
};

TEST_F(StudioAgainstServiceTest, ListsTheSimulatedMicrophonesInTheirGroupsAndFollowsAPlug) {
    startService();
    startStudio();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 3; }, 10s))
        << "listed: " << list().deviceCount();
    EXPECT_EQ(list().groupOf("SN1001"), 2) << "Alder";
    EXPECT_EQ(list().groupOf("SN1002"), 4) << "Cedar";
    EXPECT_EQ(list().groupOf("SN1003"), 5) << "Larch";

    auto simulator = ipc::connectToSimulator(ipc::BusAddress::explicitAddress(bus_.address()));
    ASSERT_TRUE(simulator);
    ASSERT_EQ(simulator->Plug("Rowan", "SN1004"), sdk::S_OK);
    EXPECT_TRUE(pumpUntil([&] { return list().containsDevice("SN1004"); }, 1000ms))
        << "a plugged microphone shows within a second";
    EXPECT_EQ(list().groupOf("SN1004"), 6) << "Rowan";
    EXPECT_TRUE(prompts_.messages.empty()) << "no message along the way";
}

TEST_F(StudioAgainstServiceTest, ServiceStoppingEmptiesTheListWithOneMessage) {
    startService();
    startStudio();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 3; }, 10s));
    service_->terminate();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 0; }, 10s));
    pumpUntil([] { return false; }, 200ms);  // anything that might follow has time to arrive
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, QStringLiteral("The qmMicHost service was completed!"));
}

TEST_F(StudioAgainstServiceTest, TheEventLoopKeepsRunningWhileTheServiceIsStopped) {
    startService(kFourMicrophones);
    startStudio();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 4; }, 10s));
    ASSERT_TRUE(list().selectDevice("SN1001"));
    runEventLoop(300ms);

    // A timer on the studio's own thread, read against the monotonic clock.
    constexpr auto kPeriod = 50ms;
    std::vector<Clock::time_point> ticks;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kPeriod);
    QObject::connect(&probe, &QTimer::timeout, [&ticks] { ticks.push_back(Clock::now()); });

    ASSERT_EQ(::kill(service_->pid(), SIGSTOP), 0);
    const auto stopped = Clock::now();
    probe.start();
    runEventLoop(3000ms);
    ASSERT_EQ(::kill(service_->pid(), SIGCONT), 0);
    probe.stop();

    ASSERT_GE(ticks.size(), 2u);
    auto longest = ticks.front() - stopped;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        longest = std::max(longest, ticks[i] - ticks[i - 1]);
    }
    const auto longestMs = std::chrono::duration_cast<std::chrono::milliseconds>(longest).count();
    std::printf("longest gap between 50 ms ticks with the service stopped: %lld ms\n",
                static_cast<long long>(longestMs));
    EXPECT_LE(longest, kPeriod + 100ms);

    // Nothing was lost once the service runs again.
    runEventLoop(500ms);
    EXPECT_EQ(list().listedSerials(),
              (std::vector<std::string>{"SN1001", "SN1002", "SN1003", "SN1004"}));
    EXPECT_EQ(app_->mainFrame()->selection().selectedSerial(), "SN1001");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(StudioAgainstServiceTest, AKilledServiceIsReportedAndItsReturnNoticedWithoutAClick) {
    startService(kFourMicrophones);
    startStudio();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 4; }, 10s));
    ASSERT_TRUE(list().selectDevice("SN1002"));

    service_->kill();
    ASSERT_TRUE(
        pumpUntil([&] { return list().deviceCount() == 0 && !prompts_.messages.empty(); }, 10s));
    EXPECT_EQ(app_->mainFrame()->selection().selected(), nullptr);
    runEventLoop(200ms);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, QStringLiteral("The qmMicHost service was completed!"));

    startService(kFourMicrophones);
    EXPECT_TRUE(pumpUntil([&] { return list().deviceCount() == 4; }, 10s))
        << "listed: " << list().deviceCount();
    EXPECT_EQ(prompts_.messages.size(), 1u);
}

// Counts the method calls that reach the service while the studio sits idle with four
// microphones, one of them selected.
TEST_F(StudioAgainstServiceTest, AnIdleStudioLeavesTheServiceAlone) {
    startService(kFourMicrophones);
    startStudio();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 4; }, 10s));
    ASSERT_TRUE(list().selectDevice("SN1001"));
    runEventLoop(1000ms);

    qm::testing::ChildProcess monitor(
        {"dbus-monitor", "--address", bus_.address(), "--profile",
         std::string("type='method_call',destination='") + ipc::kBusName + "'"});
    // The monitor reports its own connection first; after that it sees every call.
    ASSERT_TRUE(monitor.readLine(5s)) << "dbus-monitor did not start";
    constexpr auto kWindow = 10s;
    runEventLoop(kWindow);
    int calls = 0;
    while (const auto line = monitor.readLine(300ms)) {
        if (line->rfind("mc", 0) == 0) {
            ++calls;
        }
    }
    std::printf("service calls of an idle studio with four microphones in %lld s: %d\n",
                static_cast<long long>(kWindow.count()), calls);
    EXPECT_LE(calls, 2);
}

}  // namespace
}  // namespace qm::studio::testing
