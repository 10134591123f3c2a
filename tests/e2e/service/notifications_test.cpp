// Notifications from the running service: every state, a client that never answers, a client
// that dies, and the release when the service stops.
#include <algorithm>

#include "common/ipc/ipc_result.h"
#include "common/sdk/identifiers.h"
#include "notification_recorder.h"
#include "service_fixture.h"

namespace qm::e2e {
namespace {

using sdk::S_OK;

// Time-out of each OnDeviceNotify call the service makes (the binding's default).
constexpr std::chrono::milliseconds kServiceNotifyTimeout = 2s;

class Notifications : public ServiceFixture {
  protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(startService());
        simulator_ = simulator();
        ASSERT_TRUE(simulator_);
    }

    // A client connection with a recorder advised on it.
    struct Client {
        std::shared_ptr<sdk::IQuillmereSDK> manager;
        std::shared_ptr<NotificationRecorder> sink = std::make_shared<NotificationRecorder>();
    };
    Client advisedClient() {
        Client client;
        client.manager = connect();
        EXPECT_TRUE(client.manager);
        if (client.manager) {
            EXPECT_EQ(client.manager->AdviceSink(client.sink), S_OK);
        }
        return client;
    }

    std::shared_ptr<ipc::SimulatorControl> simulator_;
};

TEST_F(Notifications, EveryStateReachesAnAdvisedClient) {
    Client client = advisedClient();
    NotificationRecorder& sink = *client.sink;

    ASSERT_EQ(simulator_->Plug("Rowan", "SN1004"), S_OK);
    ASSERT_TRUE(sink.waitForSequence({{"SN1004", sdk::QM_NOTIFY_NEW}}, kBound));

    // A microphone the service found at its start: its endpoint is not new when it comes back,
    // so nothing brings it back after its removal either.
    ASSERT_EQ(simulator_->Unplug("SN1002"), S_OK);
    ASSERT_TRUE(sink.waitForSequence({{"SN1002", sdk::QM_NOTIFY_STOPPED}}, kBound));
    ASSERT_EQ(simulator_->Plug("Cedar", "SN1002"), S_OK);
    ASSERT_TRUE(sink.waitForSequence({{"SN1002", 0}, {"SN1002", sdk::QM_NOTIFY_STARTED}}, kBound));
    EXPECT_EQ(client.manager->RemoveDeviceBySN("sn1002"), S_OK);
    // The notification carries the serial as the caller gave it.
    ASSERT_TRUE(sink.waitForSequence({{"SN1002", 1}, {"sn1002", sdk::QM_NOTIFY_REMOVED}}, kBound));
    EXPECT_FALSE(cachedDeviceExists("SN1002"));

    ASSERT_EQ(simulator_->Unplug("SN1003"), S_OK);
    ASSERT_TRUE(sink.waitForSequence({{"SN1003", 0}}, kBound));
    EXPECT_EQ(client.manager->RemoveAllInactive(), S_OK);
    ASSERT_TRUE(sink.waitForSequence(
        {{"SN1003", 0}, {sdk::kInactiveRemovedSerial, sdk::QM_NOTIFY_INACTIVE_REMOVED}}, kBound));
    EXPECT_EQ(serialsOf(*client.manager), (std::vector<std::string>{"SN1001", "SN1004"}));
    EXPECT_FALSE(cachedDeviceExists("SN1003"));

    EXPECT_EQ(stopService(SIGINT), 0);
    EXPECT_TRUE(sink.waitForSequence({{sdk::kInactiveRemovedSerial, 4},
                                      {sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE}},
                                     kBound));
}

TEST_F(Notifications, AClientThatNeverAnswersDoesNotHoldUpAnother) {
    Client silent = advisedClient();
    Client listening = advisedClient();
    silent.sink->hang();
    const ipc::testing::ReleaseOnExit releaseSilent(*silent.sink);

    // Three notifications at once. Were they sent to one client after the other, each would
    // wait for the silent client's call to time out, and the third would reach the listening
    // client only after three time-outs.
    ASSERT_EQ(simulator_->Unplug("SN1001"), S_OK);
    ASSERT_EQ(simulator_->Unplug("SN1002"), S_OK);
    ASSERT_EQ(simulator_->Unplug("SN1003"), S_OK);
    ASSERT_TRUE(silent.sink->waitUntilHanging(kBound));
    const std::vector<Notification> expected = {{"SN1001", 0}, {"SN1002", 0}, {"SN1003", 0}};
    EXPECT_TRUE(listening.sink->waitForSequence(expected, 2 * kServiceNotifyTimeout));

    // The silent client gets its notifications, in order, once it answers again; the service
    // still serves.
    silent.sink->release();
    EXPECT_TRUE(silent.sink->waitForSequence(expected, kBound));
    EXPECT_EQ(serialsOf(*listening.manager).size(), 3u);
    ASSERT_EQ(simulator_->Plug("Alder", "SN1001"), S_OK);
    EXPECT_TRUE(listening.sink->waitForSequence({{"SN1003", 0}, {"SN1001", 1}}, kBound));
    EXPECT_TRUE(silent.sink->waitForSequence({{"SN1003", 0}, {"SN1001", 1}}, kBound));
}

TEST_F(Notifications, AClientKilledWhileAdvisedLeavesTheServiceHealthy) {
    Client survivor = advisedClient();
    for (int round = 0; round < 2; ++round) {
        // qmctl watch is a client in a process of its own; it says when its sink is advised.
        auto doomed = startQmctl({"watch"});
        const auto ready = doomed->readLine(ChildProcess::Stream::Err, kBound);
        ASSERT_TRUE(ready);
        EXPECT_EQ(*ready, "qmctl: watching the service's notifications; Ctrl-C ends");
        doomed->kill();

        const std::string serial = "SN200" + std::to_string(round);
        ASSERT_EQ(simulator_->Plug("Birch", serial), S_OK);
        EXPECT_TRUE(survivor.sink->waitForSequence({{serial, sdk::QM_NOTIFY_NEW}}, kBound));
        const auto serials = serialsOf(*survivor.manager);
        EXPECT_NE(std::find(serials.begin(), serials.end(), serial), serials.end());
    }
    // A new client is served as well.
    Client late = advisedClient();
    ASSERT_EQ(simulator_->Unplug("SN2000"), S_OK);
    EXPECT_TRUE(late.sink->waitForSequence({{"SN2000", 0}}, kBound));
    EXPECT_TRUE(survivor.sink->waitForSequence({{"SN2000", 0}}, kBound));
}

TEST_F(Notifications, StoppingTheServiceReleasesEveryClient) {
    Client first = advisedClient();
    Client second = advisedClient();
    auto watcher = startQmctl({"watch", "--json"});
    ASSERT_TRUE(watcher->readLine(ChildProcess::Stream::Err, kBound));

    EXPECT_EQ(stopService(SIGTERM), 0);
    const Notification release = {sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE};
    EXPECT_TRUE(first.sink->waitForSequence({release}, kBound));
    EXPECT_TRUE(second.sink->waitForSequence({release}, kBound));
    EXPECT_EQ(
        readLineMatching(*watcher, ChildProcess::Stream::Out,
                         "{\"serial\":\"000000\",\"state\":-1,\"event\":\"service-release\"}"),
        std::nullopt);
    EXPECT_EQ(watcher->waitForExit(kBound), 0);
    // A client of a service that is gone fails its calls instead of hanging.
    EXPECT_EQ(first.manager->IsInitialize(), ipc::kServiceUnavailable);
}

}  // namespace
}  // namespace qm::e2e
