// Sinks through the bus: identity, order, NotifyRelease, and clients that do not answer.
#include <gtest/gtest.h>

#include <future>

#include "common/ipc/sdk_proxy.h"
#include "common/sdk/identifiers.h"
#include "ipc_fixture.h"
#include "recording_sink.h"

namespace qm::ipc::testing {
namespace {

using sdk::S_OK;
using Received = RecordingSink::Received;

std::size_t exportedSinks(const std::shared_ptr<sdk::IQuillmereSDK>& client) {
    return std::dynamic_pointer_cast<SdkProxy>(client)->exportedSinkCount();
}

class SinkTest : public IpcFixture {};

TEST_F(SinkTest, SameSinkTwiceIsTheSameObjectTwiceForTheManager) {
    auto client = connect();
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    const auto sinks = manager_->sinks();
    ASSERT_EQ(sinks.size(), 2u);
    EXPECT_EQ(sinks[0], sinks[1]);
    EXPECT_EQ(exportedSinks(client), 1u);

    manager_->notify("SN1", sdk::QM_NOTIFY_STARTED);
    ASSERT_TRUE(sink->waitForCount(2));

    ASSERT_EQ(client->UnadviceSink(sink), S_OK);
    EXPECT_EQ(manager_->sinks(), FakeManager::Sinks{sinks[0]});
    manager_->notify("SN2", sdk::QM_NOTIFY_NEW);
    ASSERT_TRUE(sink->waitForCount(3));
    EXPECT_EQ(sink->received(), (Received{{"SN1", 1}, {"SN1", 1}, {"SN2", 2}}));

    ASSERT_EQ(client->UnadviceSink(sink), S_OK);
    EXPECT_TRUE(manager_->sinks().empty());
    EXPECT_EQ(exportedSinks(client), 0u);
    EXPECT_EQ(adaptor_->advisedSinkCount(), 0u);
}

TEST_F(SinkTest, DifferentSinksAreDifferentObjects) {
    auto client = connect();
    auto first = std::make_shared<RecordingSink>();
    auto second = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(first), S_OK);
    ASSERT_EQ(client->AdviceSink(second), S_OK);
    const auto sinks = manager_->sinks();
    ASSERT_EQ(sinks.size(), 2u);
    EXPECT_NE(sinks[0], sinks[1]);
    EXPECT_EQ(exportedSinks(client), 2u);
    manager_->notify("SN1", 1);
    ASSERT_TRUE(first->waitForCount(1));
    ASSERT_TRUE(second->waitForCount(1));
    EXPECT_EQ(client->UnadviceSink(first), S_OK);
    EXPECT_EQ(manager_->sinks(), FakeManager::Sinks{sinks[1]});
    EXPECT_EQ(client->UnadviceSink(second), S_OK);
}

TEST_F(SinkTest, UnadvisingWhatWasNeverAdvisedSucceedsAndChangesNothing) {
    auto client = connect();
    auto advised = std::make_shared<RecordingSink>();
    auto stranger = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(advised), S_OK);
    const auto before = manager_->sinks();
    EXPECT_EQ(client->UnadviceSink(stranger), S_OK);
    EXPECT_EQ(client->UnadviceSink(nullptr), S_OK);
    EXPECT_EQ(manager_->sinks(), before);
    // Another connection unadvising a sink at the same path finds nothing either.
    auto other = connect();
    EXPECT_EQ(other->UnadviceSink(advised), S_OK);
    EXPECT_EQ(manager_->sinks(), before);
    EXPECT_EQ(client->AdviceSink(nullptr), sdk::E_POINTER);
    EXPECT_EQ(manager_->sinks(), before);
    EXPECT_EQ(client->UnadviceSink(advised), S_OK);
}

TEST_F(SinkTest, NotificationsArriveInOrder) {
    auto client = connect();
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    Received expected;
    for (int i = 0; i < 50; ++i) {
        const std::string serial = "SN" + std::to_string(i);
        manager_->notify(serial, i % 5);
        expected.emplace_back(serial, i % 5);
    }
    ASSERT_TRUE(sink->waitForCount(expected.size()));
    EXPECT_EQ(sink->received(), expected);
    EXPECT_EQ(client->UnadviceSink(sink), S_OK);
}

// Records which of several sinks was called, in one shared order.
class OrderedSink final : public sdk::IDeviceNotify {
  public:
    OrderedSink(int id, std::shared_ptr<RecordingSink> log) : id_(id), log_(std::move(log)) {}
    sdk::HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) override {
        return log_->OnDeviceNotify(std::to_string(id_) + ":" + bstrSN, nState);
    }

  private:
    int id_;
    std::shared_ptr<RecordingSink> log_;
};

TEST_F(SinkTest, NotifyReleaseCallsTheSinksFromLastToFirst) {
    auto client = connect();
    auto log = std::make_shared<RecordingSink>();
    std::vector<std::shared_ptr<OrderedSink>> sinks;
    for (int id = 1; id <= 3; ++id) {
        sinks.push_back(std::make_shared<OrderedSink>(id, log));
        ASSERT_EQ(client->AdviceSink(sinks.back()), S_OK);
    }
    EXPECT_EQ(client->NotifyRelease(), S_OK);
    ASSERT_TRUE(log->waitForCount(3));
    EXPECT_EQ(log->received(), (Received{{"3:000000", -1}, {"2:000000", -1}, {"1:000000", -1}}));
    EXPECT_EQ(manager_->sinks().size(), 3u);  // the sinks stay advised
    for (const auto& sink : sinks) {
        EXPECT_EQ(client->UnadviceSink(sink), S_OK);
    }
}

TEST_F(SinkTest, ClientThatDoesNotAnswerDelaysNobodyElse) {
    auto hungClient = connect();
    auto liveClient = connect();
    auto hung = std::make_shared<RecordingSink>();
    auto live = std::make_shared<RecordingSink>();
    hung->hang();
    const ReleaseOnExit releaseHung(*hung);
    ASSERT_EQ(hungClient->AdviceSink(hung), S_OK);
    ASSERT_EQ(liveClient->AdviceSink(live), S_OK);

    // The manager's thread hands over every notification without waiting for the hung sink.
    auto notifying = std::async(std::launch::async, [this] {
        for (int i = 1; i <= 5; ++i) {
            manager_->notify("SN" + std::to_string(i), i % 5);
        }
    });
    ASSERT_EQ(notifying.wait_for(std::chrono::seconds(5)), std::future_status::ready);

    ASSERT_TRUE(live->waitForCount(5));
    const Received expected{{"SN1", 1}, {"SN2", 2}, {"SN3", 3}, {"SN4", 4}, {"SN5", 0}};
    EXPECT_EQ(live->received(), expected);
    ASSERT_TRUE(hung->waitUntilHanging());
    EXPECT_TRUE(hung->received().empty());

    // Once it answers again it gets everything, in order.
    hung->release();
    ASSERT_TRUE(hung->waitForCount(5));
    EXPECT_EQ(hung->received(), expected);
    EXPECT_EQ(liveClient->UnadviceSink(live), S_OK);
    EXPECT_EQ(hungClient->UnadviceSink(hung), S_OK);
}

TEST_F(SinkTest, ReleaseJustBeforeShutdownStillReachesClients) {
    auto hungClient = connect();
    auto liveClient = connect();
    auto hung = std::make_shared<RecordingSink>();
    auto live = std::make_shared<RecordingSink>();
    hung->hang();
    const ReleaseOnExit releaseHung(*hung);
    ASSERT_EQ(hungClient->AdviceSink(hung), S_OK);
    ASSERT_EQ(liveClient->AdviceSink(live), S_OK);

    // The service announces its end and goes at once; a client that does not answer must not
    // hold up the shutdown.
    EXPECT_EQ(manager_->NotifyRelease(), S_OK);
    auto stopping = std::async(std::launch::async, [this] { stopService(); });
    ASSERT_EQ(stopping.wait_for(std::chrono::seconds(5)), std::future_status::ready);

    ASSERT_TRUE(live->waitForCount(1));
    EXPECT_EQ(live->received(), (Received{{sdk::kReleaseNotifySerial, -1}}));
    hung->release();
    ASSERT_TRUE(hung->waitForCount(1));
    EXPECT_EQ(hung->received(), (Received{{sdk::kReleaseNotifySerial, -1}}));
}

TEST_F(SinkTest, SinkMayUnadviseItselfInsideItsNotification) {
    auto client = connect();
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    std::promise<sdk::HRESULT> unadvised;
    sink->onNextCall([&] { unadvised.set_value(client->UnadviceSink(sink)); });
    manager_->notify("SN1", sdk::QM_NOTIFY_STOPPED);
    auto result = unadvised.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(result.get(), S_OK);
    EXPECT_TRUE(manager_->sinks().empty());
    EXPECT_EQ(exportedSinks(client), 0u);
    // The connection still works afterwards.
    EXPECT_EQ(client->IsInitialize(), S_OK);
}

TEST_F(SinkTest, ClientMayDropItsLastReferenceInsideANotification) {
    auto client = connect();
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    std::promise<void> dropped;
    sink->onNextCall([&] {
        client.reset();  // the service is going away: drop everything, as the studio does
        dropped.set_value();
    });
    EXPECT_EQ(manager_->NotifyRelease(), S_OK);
    auto done = dropped.get_future();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    // Opening another connection closes the dropped one; the service then sees it leave.
    auto other = connect();
    EXPECT_TRUE(manager_->waitForSinks([](const auto& sinks) { return sinks.empty(); }));
    EXPECT_EQ(sink->received(), (Received{{sdk::kReleaseNotifySerial, -1}}));
}

}  // namespace
}  // namespace qm::ipc::testing
