#include "studio/shell/service_calls.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <mutex>
#include <thread>

#include "studio/shell/device_change.h"
#include "studio/shell/fake_service.h"
#include "studio/shell/settle.h"
#include "support/gate.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;

class ServiceCallsTest : public ::testing::Test {
  protected:
    // The calls that wait at the gate are held until the test opens it.
    ServiceCallsTest() { gate_.close(); }
    ~ServiceCallsTest() override { gate_.open(); }

    qm::testing::Gate gate_;
    QObject receiver_;
    ServiceCalls calls_;
};

TEST_F(ServiceCallsTest, WorkRunsOffTheGuiThreadAndItsResultComesBackToIt) {
    const auto gui = std::this_thread::get_id();
    std::thread::id workThread;
    std::thread::id doneThread;
    int result = 0;
    calls_.post(
        "lane", &receiver_,
        [&workThread] {
            workThread = std::this_thread::get_id();
            return 42;
        },
        [&](int value) {
            doneThread = std::this_thread::get_id();
            result = value;
        });
    EXPECT_FALSE(calls_.idle());
    settle(calls_);
    EXPECT_TRUE(calls_.idle());
    EXPECT_NE(workThread, gui);
    EXPECT_EQ(doneThread, gui);
    EXPECT_EQ(result, 42);
}

TEST_F(ServiceCallsTest, ALaneKeepsItsOrderWhileOtherLanesGoOn) {
    std::vector<std::string> order;
    std::mutex orderMutex;
    const auto note = [&](const std::string& what) {
        std::lock_guard guard(orderMutex);
        order.push_back(what);
    };
    calls_.post("#SN1", [&] {
        gate_.pass();
        note("SN1 change");
    });
    calls_.post("#SN1", [&] { note("SN1 status"); });
    ASSERT_TRUE(gate_.awaitWaiting());
    // SN2 goes through while SN1's first call still waits.
    QEventLoop loop;
    bool otherDone = false;
    calls_.post(
        "#SN2", &receiver_, [&] { note("SN2 change"); },
        [&] {
            otherDone = true;
            loop.quit();
        });
    QTimer::singleShot(5s, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(otherDone);
    gate_.open();
    settle(calls_);
    EXPECT_EQ(order, (std::vector<std::string>{"SN2 change", "SN1 change", "SN1 status"}));
}

TEST_F(ServiceCallsTest, ResultsForAGoneReceiverOrAFailedGuardAreDropped) {
    auto gone = std::make_unique<QObject>();
    bool wanted = true;
    int delivered = 0;
    calls_.post(
        "a", gone.get(), [] { return 1; }, [&](int) { ++delivered; });
    calls_.post(
        "b", &receiver_, [] { return 2; }, [&](int) { ++delivered; }, [&] { return wanted; });
    calls_.post(
        "c", nullptr, [] { return 3; }, [&](int) { ++delivered; });
    calls_.waitForWorkers(5s);
    gone.reset();
    wanted = false;
    settle(calls_);
    EXPECT_EQ(delivered, 1) << "only the call without receiver and guard";
    EXPECT_TRUE(calls_.idle());
}

TEST_F(ServiceCallsTest, APositionWaitingAtTheEndOfItsLaneIsReplacedByTheNewest) {
    std::vector<int> sent;
    std::vector<int> answered;
    calls_.post("#SN1", [&] { gate_.pass(); });
    ASSERT_TRUE(gate_.awaitWaiting());
    const auto send = [&](const char* key, int value) {
        calls_.postLatest(
            "#SN1", key, &receiver_,
            [&sent, value] {
                sent.push_back(value);
                return value;
            },
            [&answered](int v) { answered.push_back(v); });
    };
    send("volume", 1);
    send("volume", 2);
    send("volume", 3);
    send("zoom", 10);   // another control: queued behind
    send("volume", 4);  // not at the end next to a volume any more: queued
    send("volume", 5);
    gate_.open();
    settle(calls_);
    EXPECT_EQ(sent, (std::vector<int>{3, 10, 5}));
    EXPECT_EQ(answered, sent);
    EXPECT_TRUE(calls_.idle());
}

TEST_F(ServiceCallsTest, ShutdownRunsWhatIsQueuedWithinItsGraceThenRefusesCalls) {
    int ran = 0;
    calls_.post("#SN1", [&] { gate_.pass(); });
    calls_.post("#SN1", [&] { ++ran; });
    ASSERT_TRUE(gate_.awaitWaiting());
    std::thread opener([this] { gate_.open(); });
    calls_.shutdown(5s);
    opener.join();
    EXPECT_EQ(ran, 1);
    calls_.post("#SN1", [&] { ++ran; });
    EXPECT_EQ(ran, 1);
}

TEST_F(ServiceCallsTest, AChangeIsFollowedByItsStatusAndAResetOfARejection) {
    using ::testing::Return;
    auto device = std::make_shared<FakeDevice>("SN1", "Alder", true);
    {
        const ::testing::InSequence order;
        EXPECT_CALL(*device, Set_LPF(5)).WillOnce(Return(sdk::S_OK));
        EXPECT_CALL(*device, GetLastStatus()).WillOnce(Return(sdk::S_OK));
        EXPECT_CALL(*device, Set_LPF(6)).WillOnce(Return(sdk::S_OK));
        EXPECT_CALL(*device, GetLastStatus()).WillOnce(Return(sdk::S_FALSE));
        EXPECT_CALL(*device, ResetStatus()).WillOnce(Return(sdk::S_OK));
    }
    std::vector<ChangeOutcome> outcomes;
    for (const unsigned char code : {5, 6}) {
        postChange(
            calls_, device, "SN1", &receiver_,
            [code](sdk::IQMDevice& d) { return d.Set_LPF(code); },
            [&outcomes](ChangeOutcome outcome) { outcomes.push_back(outcome); });
    }
    settle(calls_);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].status, sdk::S_OK);
    EXPECT_FALSE(outcomes[0].statusReset);
    EXPECT_EQ(outcomes[1].status, sdk::S_FALSE);
    EXPECT_TRUE(outcomes[1].statusReset);
}

}  // namespace
}  // namespace qm::studio::testing
