// The device manager through the bus: enumeration, removal, log and folder calls.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/ipc/device_proxy.h"
#include "common/ipc/sdk_proxy.h"
#include "common/sdk/identifiers.h"
#include "common/sdk/snapshot_enumerator.h"
#include "ipc_fixture.h"
#include "recording_sink.h"
#include "support/mock_interfaces.h"

namespace qm::ipc::testing {
namespace {

using sdk::E_INVALIDARG;
using sdk::E_POINTER;
using sdk::HRESULT;
using sdk::IEnumQMDevice;
using sdk::IQMDevice;
using sdk::S_OK;

class ManagerTest : public IpcFixture {};

TEST_F(ManagerTest, SnapshotDoesNotFollowLaterChanges) {
    auto devices = addDevices(3);
    auto client = connect();
    std::shared_ptr<IEnumQMDevice> enumerator;
    ASSERT_EQ(client->EnumQMDevice(&enumerator), S_OK);
    manager_->setDevices({devices[0]});
    std::shared_ptr<IQMDevice> all[3];
    unsigned long fetched = 0;
    EXPECT_EQ(enumerator->Next(3, all, &fetched), S_OK);
    EXPECT_EQ(fetched, 3u);
}

TEST_F(ManagerTest, EmptyListGivesInvalidArgAndNoEnumerator) {
    auto client = connect();
    auto untouched = std::make_shared<sdk::SnapshotEnumerator>(nullptr);
    std::shared_ptr<IEnumQMDevice> enumerator = untouched;
    EXPECT_EQ(client->EnumQMDevice(&enumerator), E_INVALIDARG);
    EXPECT_EQ(enumerator, untouched);
    EXPECT_EQ(client->EnumQMDevice(nullptr), E_POINTER);
}

TEST_F(ManagerTest, SameDeviceObjectGivesTheSameProxyWhileHeld) {
    addDevices(2);
    auto client = connect();
    auto first = enumerateAll(*client);
    auto second = enumerateAll(*client);
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(first[0], second[0]);
    EXPECT_EQ(first[1], second[1]);
    EXPECT_NE(first[0], first[1]);
    EXPECT_EQ(adaptor_->exportedDeviceCount(), 2u);
}

TEST_F(ManagerTest, DevicePathsFollowTheSerial) {
    FakeManager::Devices list{std::make_shared<FakeDevice>("SN-1"),
                              std::make_shared<FakeDevice>("SN-1"),
                              std::make_shared<FakeDevice>("")};
    manager_->setDevices(list);
    auto client = connect();
    auto devices = enumerateAll(*client);
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(pathOf(devices[0]), "/com/quillmere/devices/SN_2D1");
    EXPECT_EQ(pathOf(devices[1]), "/com/quillmere/devices/SN_2D1_n2");
    EXPECT_EQ(pathOf(devices[2]), "/com/quillmere/devices/_n1");
    // Each path reaches its own object.
    EXPECT_EQ(devices[1]->SetFriendlyName("second"), sdk::S_OK);
    EXPECT_EQ(std::static_pointer_cast<FakeDevice>(list[1])->lastCall(),
              "SetFriendlyName(\"second\")");
    const auto firstCalls = std::static_pointer_cast<FakeDevice>(list[0])->calls();
    EXPECT_EQ(std::count(firstCalls.begin(), firstCalls.end(), "SetFriendlyName(\"second\")"), 0);
}

TEST_F(ManagerTest, RemoveDeviceFindsTheObjectBehindTheProxy) {
    auto devices = addDevices(3);
    auto client = connect();
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    auto listed = enumerateAll(*client);
    ASSERT_EQ(listed.size(), 3u);

    EXPECT_EQ(client->RemoveDevice(listed[1]), S_OK);
    EXPECT_EQ(manager_->devices(), (FakeManager::Devices{devices[0], devices[2]}));
    ASSERT_TRUE(sink->waitForCount(1));
    EXPECT_EQ(sink->received()[0], std::make_pair(std::string("SN1002"), sdk::QM_NOTIFY_REMOVED));
    // Removing it again, or something that is no device of this connection: not in the list.
    EXPECT_EQ(client->RemoveDevice(listed[1]), E_POINTER);
    EXPECT_EQ(client->RemoveDevice(nullptr), E_POINTER);
    EXPECT_EQ(client->RemoveDevice(std::make_shared<sdk::testing::MockQMDevice>()), E_POINTER);
    auto other = connect();
    auto otherListed = enumerateAll(*other);
    ASSERT_EQ(otherListed.size(), 2u);
    EXPECT_EQ(client->RemoveDevice(otherListed[0]), E_POINTER);  // another connection's proxy
    EXPECT_EQ(manager_->devices().size(), 2u);
    EXPECT_EQ(client->UnadviceSink(sink), S_OK);
}

TEST_F(ManagerTest, RemoveBySerialAndRemoveAllInactiveReachTheManager) {
    auto devices = addDevices(3);
    devices[2]->setStarted(false);
    auto client = connect();
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_EQ(client->AdviceSink(sink), S_OK);
    EXPECT_EQ(client->RemoveDeviceBySN("sn1001"), S_OK);
    EXPECT_EQ(client->RemoveDeviceBySN("SN9999"), E_POINTER);
    EXPECT_EQ(client->RemoveAllInactive(), S_OK);
    EXPECT_EQ(manager_->devices(), (FakeManager::Devices{devices[1]}));
    ASSERT_TRUE(sink->waitForCount(2));
    EXPECT_EQ(
        sink->received(),
        (RecordingSink::Received{{"sn1001", sdk::QM_NOTIFY_REMOVED},
                                 {sdk::kInactiveRemovedSerial, sdk::QM_NOTIFY_INACTIVE_REMOVED}}));
    EXPECT_EQ(client->UnadviceSink(sink), S_OK);
}

TEST_F(ManagerTest, TextsSurviveExactly) {
    auto client = connect();
    const std::string text =
        "100% sicher: %s %d %n \xE2\x80\x9E"
        "Gr\xC3\xBC\xC3\x9F"
        "e\xE2\x80\x9C \xE6\x97\xA5\xE6\x9C\xAC "
        "\xF0\x9F\x8E\xA4 " +
        std::string(5000, 'x');
    EXPECT_EQ(client->WriteLog(sdk::leWarning, text), S_OK);
    EXPECT_EQ(client->WriteLog(static_cast<sdk::qmLogEventType>(3), "%s"), S_OK);
    const auto lines = manager_->logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].first, sdk::leWarning);
    EXPECT_EQ(lines[0].second, text);
    EXPECT_EQ(lines[1].first, sdk::leDebug);
    EXPECT_EQ(lines[1].second, "%s");

    const std::string folder =
        "/var/log/quillmere/Gr\xC3\xBC\xC3\x9F"
        "e 100%";
    EXPECT_EQ(client->SetLogFolder(folder), S_OK);
    std::string read;
    EXPECT_EQ(client->GetLogFolder(read), S_OK);
    EXPECT_EQ(read, folder);
}

}  // namespace
}  // namespace qm::ipc::testing
