// The studio against the real service: a private bus, qmMicHost serving virtual microphones, and
// the studio's application object with its main frame on the offscreen platform.
#include "studio_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "studio/shell/backstage_folder_pages.h"
#include "studio/shell/backstage_page_options.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/settle.h"

namespace qm::studio::testing {
namespace {

TEST_F(StudioAgainstServiceTest, ListsTheSimulatedMicrophonesInTheirGroupsAndFollowsAPlug) {
    ASSERT_NO_FATAL_FAILURE(startServiceAndStudio(kThreeMicrophones, 3));
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
    ASSERT_NO_FATAL_FAILURE(startServiceAndStudio(kThreeMicrophones, 3));
    service_->terminate();
    ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == 0; }, 10s));
    pumpUntil([] { return false; }, 200ms);  // anything that might follow has time to arrive
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, QStringLiteral("The qmMicHost service was completed!"));
}

TEST_F(StudioAgainstServiceTest, TheEventLoopKeepsRunningWhileTheServiceIsStopped) {
    ASSERT_NO_FATAL_FAILURE(startServiceAndStudio(kFourMicrophones, 4));
    ASSERT_TRUE(list().selectDevice("SN1001"));
    settle(app_->mainFrame()->serviceCalls());

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
    const auto longest = longestGap(stopped, ticks);
    const auto longestMs = std::chrono::duration_cast<std::chrono::milliseconds>(longest).count();
    std::printf("longest gap between 50 ms ticks with the service stopped: %lld ms\n",
                static_cast<long long>(longestMs));
    EXPECT_LE(longest, kPeriod + 100ms);

    // Nothing was lost once the service runs again.
    settle(app_->mainFrame()->serviceCalls());
    EXPECT_EQ(list().listedSerials(),
              (std::vector<std::string>{"SN1001", "SN1002", "SN1003", "SN1004"}));
    EXPECT_EQ(app_->mainFrame()->selection().selectedSerial(), "SN1001");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(StudioAgainstServiceTest, AKilledServiceIsReportedAndItsReturnNoticedWithoutAClick) {
    ASSERT_NO_FATAL_FAILURE(startServiceAndStudio(kFourMicrophones, 4));
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
    ASSERT_NO_FATAL_FAILURE(startServiceAndStudio(kFourMicrophones, 4));
    ASSERT_TRUE(list().selectDevice("SN1001"));
    settle(app_->mainFrame()->serviceCalls());

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

// The log folder page: applied while connected, the service moves its logs at once.
TEST_F(StudioAgainstServiceTest, ANewLogFolderTakesTheServicesLogsAtOnce) {
    ASSERT_NO_FATAL_FAILURE(startServiceAndStudio(kThreeMicrophones, 3));
    CMainFrame& frame = *app_->mainFrame();
    frame.onCommand(ids::kSystemButton);
    auto* options = frame.findChild<CBackstagePageOptions*>();
    ASSERT_NE(options, nullptr);
    options->choose(CBackstagePageOptions::kLog);
    auto* page = qobject_cast<CBackstagePageLOG*>(options->subPage(CBackstagePageOptions::kLog));
    ASSERT_NE(page, nullptr);
    const std::filesystem::path moved = serviceFolder_.path() / "moved";
    page->folderEdit()->clear();
    QTest::keyClicks(page->folderEdit(), QString::fromStdString(moved.string()));
    page->applyButton()->click();

    char today[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(today, sizeof today, " [%Y.%m.%d].log", &local);
    const auto todaysFiles = [&] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(moved, error)) {
            if (entry.path().filename().string().ends_with(today)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(pumpUntil(todaysFiles, 10s)) << "no log of today in " << moved;
}

}  // namespace
}  // namespace qm::studio::testing
