// Lifetimes across the bus: clients that leave, devices the manager removed, a service or a bus
// that goes away, calls that get no answer.
#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>

#include "common/ipc/device_proxy.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/service_name_watch.h"
#include "common/sdk/identifiers.h"
#include "ipc_fixture.h"
#include "recording_sink.h"
#include "support/child_process.h"

namespace qm::ipc::testing {
namespace {

using sdk::S_OK;

bool noSinks(const FakeManager::Sinks& sinks) {
    return sinks.empty();
}

class LifecycleTest : public IpcFixture {
  protected:
    ServerOptions serverOptions() const override {
        ServerOptions options = IpcFixture::serverOptions();
        // One worker runs the calls and the clean-up after departures in the order the event
        // loop handed them over, so the tests can tell when a clean-up is done.
        options.callThreads = 1;
        return options;
    }
};

TEST_F(LifecycleTest, ClientThatClosesItsConnectionLosesItsSinks) {
    auto leaving = connect();
    auto staying = connect();
    auto first = std::make_shared<RecordingSink>();
    auto second = std::make_shared<RecordingSink>();
    auto kept = std::make_shared<RecordingSink>();
    ASSERT_EQ(leaving->AdviceSink(first), S_OK);
    ASSERT_EQ(leaving->AdviceSink(first), S_OK);
    ASSERT_EQ(leaving->AdviceSink(second), S_OK);
    ASSERT_EQ(staying->AdviceSink(kept), S_OK);
    ASSERT_EQ(manager_->sinks().size(), 4u);

    leaving.reset();  // no UnadviceSink: the connection just closes
    ASSERT_TRUE(manager_->waitForSinks([](const auto& sinks) { return sinks.size() == 1; }));
    EXPECT_EQ(adaptor_->advisedSinkCount(), 1u);

    manager_->notify("SN7", sdk::QM_NOTIFY_STARTED);
    ASSERT_TRUE(kept->waitForCount(1));
    EXPECT_EQ(kept->received(), (RecordingSink::Received{{"SN7", 1}}));
    EXPECT_EQ(staying->UnadviceSink(kept), S_OK);
}

TEST_F(LifecycleTest, KilledClientProcessLosesItsSinksAndTheServiceCarriesOn) {
    addDevices(2);
    qm::testing::ChildProcess peer({QM_IPC_TEST_PEER, bus_->address()});
    ASSERT_EQ(peer.readLine(std::chrono::seconds(5)), "advised");
    ASSERT_EQ(manager_->sinks().size(), 1u);

    peer.kill();
    ASSERT_TRUE(manager_->waitForSinks(noSinks));
    EXPECT_EQ(adaptor_->advisedSinkCount(), 0u);

    manager_->notify("SN1", sdk::QM_NOTIFY_STOPPED);  // nobody to tell; nothing breaks
    auto client = connect();
    EXPECT_EQ(enumerateAll(*client).size(), 2u);
    std::string version;
    EXPECT_EQ(client->GetVersion(version), S_OK);
}

TEST_F(LifecycleTest, RemovedDeviceStillHeldKeepsAnsweringUntilItsHolderLeaves) {
    auto devices = addDevices(2);
    auto holder = connect();
    auto watcher = std::make_shared<RecordingSink>();
    ASSERT_EQ(holder->AdviceSink(watcher), S_OK);
    auto held = enumerateAll(*holder);
    ASSERT_EQ(held.size(), 2u);
    const std::string path = pathOf(held[0]);

    // The manager drops the first device and closes its channel.
    manager_->setDevices({devices[1]});
    devices[0]->closeChannel();
    auto other = connect();
    EXPECT_EQ(enumerateAll(*other).size(), 1u);

    std::string serial;
    EXPECT_EQ(held[0]->GetDeviceSN(serial), S_OK);
    EXPECT_EQ(serial, "SN1001");
    EXPECT_EQ(held[0]->Set_LPF(3), sdk::E_NOINTERFACE);
    unsigned char volume = 0;
    EXPECT_EQ(held[0]->GetStatusDSP(volume), sdk::E_NOINTERFACE);
    EXPECT_EQ(adaptor_->exportedDeviceCount(), 2u);

    // Once its only holder left the bus, the next enumeration finds nothing that keeps it.
    holder.reset();
    held.clear();
    ASSERT_TRUE(manager_->waitForSinks(noSinks));
    EXPECT_EQ(enumerateAll(*other).size(), 1u);
    EXPECT_EQ(adaptor_->exportedDeviceCount(), 1u);

    // While the object lives its path stays the same, also when it is exported again.
    manager_->setDevices({devices[0], devices[1]});
    auto again = enumerateAll(*other);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(pathOf(again[0]), path);
}

TEST_F(LifecycleTest, ServiceThatIsGoneMakesCallsFailAsUnavailable) {
    addDevices(1);
    auto client = connect();
    auto device = enumerateAll(*client).at(0);
    stopService();

    std::string version = "before";
    EXPECT_EQ(client->GetVersion(version), kServiceUnavailable);
    EXPECT_EQ(version, "before");
    std::string serial = "before";
    EXPECT_EQ(device->GetDeviceSN(serial), kServiceUnavailable);
    EXPECT_EQ(serial, "before");
    sdk::HRESULT hr = S_OK;
    EXPECT_EQ(connectToService(clientOptions(), &hr), nullptr);
    EXPECT_EQ(hr, kServiceUnavailable);

    // A restarted service knows nothing of the old device objects until enumerated again.
    startService();
    EXPECT_EQ(client->GetVersion(version), S_OK);
    EXPECT_EQ(device->GetDeviceSN(serial), kObjectDisconnected);
    auto fresh = enumerateAll(*client);
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0]->GetDeviceSN(serial), S_OK);
    EXPECT_EQ(serial, "SN1001");
}

TEST_F(LifecycleTest, UnverifiedConnectionReportsTheMissingServiceOnTheFirstCall) {
    stopService();
    ClientOptions options = clientOptions();
    options.verifyService = false;
    auto client = connectToService(options);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->IsInitialize(), kServiceUnavailable);
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    EXPECT_EQ(client->EnumQMDevice(&enumerator), kServiceUnavailable);
    EXPECT_EQ(enumerator, nullptr);
    EXPECT_EQ(client->AdviceSink(std::make_shared<RecordingSink>()), kServiceUnavailable);
}

TEST_F(LifecycleTest, UnreachableBusFailsTheConnectionAndTheNameWatch) {
    ClientOptions options = clientOptions();
    options.bus = BusAddress::explicitAddress("unix:path=/nonexistent/quillmere-bus");
    sdk::HRESULT hr = S_OK;
    EXPECT_EQ(connectToService(options, &hr), nullptr);
    EXPECT_EQ(hr, kServiceUnavailable);
    EXPECT_EQ(watchServiceName(options, [](bool) {}), nullptr);
}

TEST_F(LifecycleTest, CallWithoutAnswerTimesOut) {
    auto devices = addDevices(1);
    ClientOptions options = clientOptions();
    options.callTimeout = std::chrono::milliseconds(300);
    auto client = connect(options);
    auto device = enumerateAll(*client).at(0);

    devices[0]->holdCalls();
    // Let the held call go also when an assertion ends the test early.
    const std::unique_ptr<FakeDevice, void (*)(FakeDevice*)> releaseAtEnd(
        devices[0].get(), [](FakeDevice* held) { held->releaseCalls(); });
    EXPECT_EQ(device->Set_LPF(2), kCallTimedOut);
    ASSERT_TRUE(devices[0]->waitUntilHolding());
    devices[0]->releaseCalls();
    // The late answer is dropped; the next call gets its own.
    unsigned char volume = 0;
    EXPECT_EQ(device->GetStatusDSP(volume), S_OK);
    EXPECT_EQ(volume, 0x10);
}

TEST_F(LifecycleTest, BusThatGoesAwayFailsCallsWithoutHanging) {
    addDevices(1);
    auto client = connect();
    auto device = enumerateAll(*client).at(0);
    bus_->kill();
    std::string serial;
    EXPECT_EQ(device->GetDeviceSN(serial), kServiceUnavailable);
    EXPECT_EQ(client->IsInitialize(), kServiceUnavailable);
    EXPECT_EQ(client->AdviceSink(std::make_shared<RecordingSink>()), kServiceUnavailable);
}

TEST_F(LifecycleTest, NameWatchSeesTheServiceLeaveAndComeBack) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> seen;
    auto watch = watchServiceName(clientOptions(), [&](bool present) {
        {
            std::lock_guard guard(mutex);
            seen.push_back(present);
        }
        changed.notify_all();
    });
    ASSERT_NE(watch, nullptr);
    const auto waitFor = [&](std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return seen.size() >= count; });
    };

    stopService();
    ASSERT_TRUE(waitFor(1));
    startService();
    ASSERT_TRUE(waitFor(2));
    std::lock_guard guard(mutex);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace qm::ipc::testing
