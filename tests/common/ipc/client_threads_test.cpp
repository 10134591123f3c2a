// The client's proxies called from several threads at once, as the studio's workers call them.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/sdk/identifiers.h"
#include "ipc_fixture.h"
#include "recording_sink.h"

namespace qm::ipc::testing {
namespace {

using sdk::S_OK;

using ClientThreadsTest = IpcFixture;

TEST_F(ClientThreadsTest, OneProxyAnswersEveryThreadWhileAnotherThreadsCallWaits) {
    auto devices = addDevices(1);
    auto client = connect();
    auto device = enumerateAll(*client).at(0);

    devices[0]->holdCalls(1);
    const std::unique_ptr<FakeDevice, void (*)(FakeDevice*)> releaseAtEnd(
        devices[0].get(), [](FakeDevice* held) { held->releaseCalls(); });
    std::thread slow([&device] { EXPECT_EQ(device->Set_LPF(2), S_OK); });
    ASSERT_TRUE(devices[0]->waitUntilHolding());

    std::vector<std::thread> callers;
    for (int t = 0; t < 3; ++t) {
        callers.emplace_back([&device] {
            for (int i = 0; i < 50; ++i) {
                std::string serial;
                unsigned char volume = 0;
                EXPECT_EQ(device->GetDeviceSN(serial), S_OK);
                EXPECT_EQ(serial, "SN1001");
                EXPECT_EQ(device->GetStatusDSP(volume), S_OK);
                EXPECT_EQ(volume, 0x10);
            }
        });
    }
    for (auto& caller : callers) {
        caller.join();
    }
    EXPECT_TRUE(devices[0]->waitUntilHolding(std::chrono::milliseconds(0)))
        << "the first call was still waiting all along";
    devices[0]->releaseCalls();
    slow.join();
    EXPECT_EQ(devices[0]->lastCall(), "Set_LPF(2)");
}

// The thread that waits for a reply processes the connection meanwhile: a notification that
// comes in during a long call still reaches its sink at once.
TEST_F(ClientThreadsTest, ASinkIsCalledWhileACallOnTheSameConnectionWaits) {
    auto devices = addDevices(1);
    auto client = connect();
    auto device = enumerateAll(*client).at(0);
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);

    devices[0]->holdCalls(1);
    const std::unique_ptr<FakeDevice, void (*)(FakeDevice*)> releaseAtEnd(
        devices[0].get(), [](FakeDevice* held) { held->releaseCalls(); });
    std::thread slow([&device] { EXPECT_EQ(device->Set_LPF(2), S_OK); });
    ASSERT_TRUE(devices[0]->waitUntilHolding());
    manager_->notify("SN1001", sdk::QM_NOTIFY_STARTED);
    EXPECT_TRUE(sink->waitForCount(1));
    devices[0]->releaseCalls();
    slow.join();
    EXPECT_EQ(client->UnadviceSink(sink), S_OK);
}

TEST_F(ClientThreadsTest, CallsOfOneThreadReachTheServiceInTheirOrder) {
    auto devices = addDevices(1);
    auto client = connect();
    auto device = enumerateAll(*client).at(0);
    std::thread other([&device] {
        for (unsigned char value = 0; value < 100; ++value) {
            EXPECT_EQ(device->Set_HPF_1(value), S_OK);
        }
    });
    for (unsigned char value = 0; value < 100; ++value) {
        EXPECT_EQ(device->Set_HPF_2(value), S_OK);
    }
    other.join();
    int nextHpf1 = 0;
    int nextHpf2 = 0;
    for (const std::string& call : devices[0]->calls()) {
        if (call.rfind("Set_HPF_1(", 0) == 0) {
            EXPECT_EQ(call, "Set_HPF_1(" + std::to_string(nextHpf1++) + ")");
        } else if (call.rfind("Set_HPF_2(", 0) == 0) {
            EXPECT_EQ(call, "Set_HPF_2(" + std::to_string(nextHpf2++) + ")");
        }
    }
    EXPECT_EQ(nextHpf1, 100);
    EXPECT_EQ(nextHpf2, 100);
}

}  // namespace
}  // namespace qm::ipc::testing
