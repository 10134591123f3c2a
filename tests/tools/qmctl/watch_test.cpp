#include "tools/qmctl/watch.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "common/runtime/virtual_clock.h"
#include "fake_service.h"
#include "tools/qmctl/exit_codes.h"

namespace qm::qmctl {
namespace {

using namespace std::chrono_literals;

// runWatch on a thread of its own, as main runs it; the test plays the binding's thread (it
// calls the sink) and the signal handler (it posts Stop).
class Watch : public ::testing::Test {
  protected:
    void start(bool json = false) {
        WatchOptions options;
        options.json = json;
        thread_ = std::thread([this, options] {
            exitCode_ = runWatch(manager_, queue_, clock_, options, out_, err_);
        });
        clock_.awaitBlocked(1);  // advised, and waiting for the first event
    }
    int finish() {
        thread_.join();
        return exitCode_;
    }
    void TearDown() override {
        if (thread_.joinable()) {
            queue_.post(WatchEvent::stop(0));
            thread_.join();
        }
    }

    testing::FakeManager manager_;
    VirtualClock clock_;
    WatchQueue queue_{clock_};
    std::ostringstream out_;
    std::ostringstream err_;
    std::thread thread_;
    int exitCode_ = -100;
};

TEST_F(Watch, PrintsNotificationsInOrderUntilStoppedThenUnadvisesItsSink) {
    start();
    const auto sink = manager_.sink(0);
    ASSERT_TRUE(sink);
    EXPECT_EQ(sink->OnDeviceNotify("SN1001", 2), sdk::S_OK);
    EXPECT_EQ(sink->OnDeviceNotify("SN1001", 0), sdk::S_OK);
    EXPECT_EQ(sink->OnDeviceNotify("1234567", 4), sdk::S_OK);
    queue_.post(WatchEvent::stop(2));
    EXPECT_EQ(finish(), kExitOk);
    EXPECT_EQ(out_.str(), "SN1001 new (2)\nSN1001 stopped (0)\n1234567 inactive-removed (4)\n");
    EXPECT_EQ(err_.str(), "qmctl: watching the service's notifications; Ctrl-C ends\n");
    ASSERT_EQ(manager_.unadvised.size(), 1u);
    EXPECT_EQ(manager_.unadvised[0], sink);
}

TEST_F(Watch, TheServiceReleaseEndsTheWatchAfterItIsPrinted) {
    start(true);
    const auto sink = manager_.sink(0);
    ASSERT_TRUE(sink);
    EXPECT_EQ(sink->OnDeviceNotify("SN1001", 1), sdk::S_OK);
    EXPECT_EQ(sink->OnDeviceNotify("000000", -1), sdk::S_OK);
    EXPECT_EQ(finish(), kExitOk);
    EXPECT_EQ(out_.str(),
              "{\"serial\":\"SN1001\",\"state\":1,\"event\":\"started\"}\n"
              "{\"serial\":\"000000\",\"state\":-1,\"event\":\"service-release\"}\n");
    EXPECT_EQ(manager_.unadvised.size(), 1u);
}

TEST_F(Watch, NoticesAServiceThatLeftWithoutARelease) {
    manager_.aliveResult = ipc::kServiceUnavailable;
    start();
    clock_.advance(4999ms);  // not yet time to look
    clock_.awaitBlocked(1);
    EXPECT_EQ(manager_.isInitializeCalls, 0);
    clock_.advance(1ms);
    EXPECT_EQ(finish(), kExitServiceUnavailable);
    EXPECT_EQ(manager_.isInitializeCalls, 1);
    EXPECT_NE(err_.str().find("qmctl: the service left the bus without a release notification\n"),
              std::string::npos);
    EXPECT_TRUE(manager_.unadvised.empty());  // nobody to tell
}

TEST_F(Watch, AServiceThatStillAnswersIsWatchedOn) {
    manager_.aliveResult = ipc::kCallTimedOut;  // busy, but there
    start();
    clock_.advance(5s);
    const auto sink = manager_.sink(0);
    EXPECT_EQ(sink->OnDeviceNotify("SN1", 3), sdk::S_OK);
    EXPECT_EQ(sink->OnDeviceNotify("000000", -1), sdk::S_OK);
    EXPECT_EQ(finish(), kExitOk);
    EXPECT_EQ(out_.str(), "SN1 removed (3)\n000000 service-release (-1)\n");
}

TEST(WatchAdvise, ASinkTheServiceRefusesEndsAtOnce) {
    testing::FakeManager manager;
    manager.adviseResult = ipc::kServiceUnavailable;
    VirtualClock clock;
    WatchQueue queue(clock);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runWatch(manager, queue, clock, {}, out, err), kExitServiceUnavailable);
    EXPECT_EQ(err.str(),
              "qmctl: the service did not take the notification sink: "
              "RPC_S_SERVER_UNAVAILABLE (0x800706BA)\n");
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace qm::qmctl
