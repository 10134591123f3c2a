#include <gtest/gtest.h>

#include "common/runtime/virtual_clock.h"
#include "platform/endpoints/endpoint_system.h"
#include "studio/shell/administrator_check.h"
#include "studio/shell/device_groups.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/fake_service.h"
#include "studio/shell/service_connection.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;

class ConnectionTest : public ::testing::Test {
  protected:
    ServiceSnapshot snapshot() { return takeServiceSnapshot(connector_, clock_, 2s); }

    FakeConnector connector_;
    VirtualClock clock_;
    ServiceConnection connection_{connector_, clock_, 2s};
};

TEST_F(ConnectionTest, UnreachableServiceLeavesTheConnectionClosed) {
    connector_.running = false;
    ServiceSnapshot taken = snapshot();
    EXPECT_EQ(taken.result, sdk::E_FAIL);
    const auto generation = connection_.generation();
    connection_.install(std::move(taken));
    EXPECT_FALSE(connection_.connected());
    EXPECT_TRUE(connection_.devices().empty());
    EXPECT_NE(connection_.generation(), generation);
}

TEST_F(ConnectionTest, WaitsEveryTenMillisecondsUntilTheServiceIsInitialised) {
    connector_.service->notInitializedCalls = 5;
    connector_.service->add("SN1", "Alder");
    ServiceSnapshot taken = snapshot();
    EXPECT_EQ(taken.result, sdk::S_OK);
    EXPECT_EQ(connector_.service->initializeCalls, 6);
    EXPECT_EQ(clock_.sleepCount(), 5u);
    EXPECT_EQ(clock_.sleptTotal(), 50ms);
    connection_.install(std::move(taken));
    EXPECT_TRUE(connection_.connected());
    EXPECT_EQ(connection_.devices().size(), 1u);
}

TEST_F(ConnectionTest, AServiceThatNeverFinishesInitialisingIsGivenUpOnTime) {
    connector_.service->notInitializedCalls = 1'000'000;
    EXPECT_EQ(snapshot().result, sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT));
    EXPECT_GE(clock_.sleptTotal(), 2s);
    EXPECT_LE(clock_.sleptTotal(), 2s + 10ms);
}

TEST_F(ConnectionTest, ReadsEachMicrophonesIdentityAndState) {
    auto alder = connector_.service->add("SN1", "Alder");
    alder->vendorId = "10c4";
    connector_.service->add("SN2", "Birch", false)->nameFails = true;
    const ServiceSnapshot taken = snapshot();
    ASSERT_EQ(taken.devices.size(), 2u);
    const DeviceInfo& first = taken.devices[0].info;
    EXPECT_TRUE(first.identified);
    EXPECT_EQ(first.serial, "SN1");
    EXPECT_EQ(first.name, "Alder");
    EXPECT_EQ(first.vendorId, "10c4");
    EXPECT_EQ(first.productId, "EAB0");
    EXPECT_EQ(first.friendlyName, "Desk microphone");
    EXPECT_EQ(first.description, "Studio A");
    EXPECT_TRUE(first.started);
    EXPECT_FALSE(taken.devices[1].info.identified);
    EXPECT_FALSE(taken.devices[1].info.started);
}

TEST_F(ConnectionTest, KeepsEnumerationOrderAndFindsSerialsWithoutCase) {
    auto first = connector_.service->add("SN1", "Alder");
    auto second = connector_.service->add("sn2", "Birch", false);
    auto third = connector_.service->add("SN3", "Cedar");
    connection_.install(snapshot());
    ASSERT_EQ(connection_.devices().size(), 3u);
    EXPECT_EQ(connection_.devices()[1].device, second);
    ASSERT_NE(connection_.find("SN2"), nullptr);
    EXPECT_EQ(connection_.find("SN2")->device, second);
    EXPECT_EQ(connection_.find("SN4"), nullptr);
    EXPECT_TRUE(connection_.isStarted("sn1"));
    EXPECT_FALSE(connection_.isStarted("SN2"));
    EXPECT_TRUE(connection_.contains(first));

    EXPECT_TRUE(connection_.removeBySerial("Sn2"));
    EXPECT_FALSE(connection_.removeBySerial("Sn2"));
    ASSERT_EQ(connection_.devices().size(), 2u);
    EXPECT_EQ(connection_.devices()[1].device, third);

    auto fourth = connector_.service->add("SN4", "Larch");
    const auto fetched = fetchDevice(*connector_.service, "sn4");
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->device, fourth);
    EXPECT_EQ(fetched->info.name, "Larch");
    EXPECT_FALSE(fetchDevice(*connector_.service, "SN5"));

    connection_.Disconnect();
    EXPECT_FALSE(connection_.connected());
    EXPECT_TRUE(connection_.devices().empty());
}

TEST(DeviceGroupTest, OnlyAWholeProductNameHasAGroup) {
    EXPECT_EQ(deviceGroupOf("Alder "), 0);
    EXPECT_EQ(deviceGroupOf(""), 0);
    EXPECT_EQ(deviceGroupHeader(0), "");
}

TEST(ContainerIdTest, MatchesThePlatformsIdOfTheUsbDevice) {
    const auto expected = endpoints::usbDeviceContainerId("10C4", "EAB0", "SN1001");
    EXPECT_EQ(usbContainerIdOf("10C4", "EAB0", "SN1001"), expected);
    EXPECT_EQ(usbContainerIdOf("10c4", "eab0", "SN1001"), expected);
    EXPECT_EQ(usbContainerIdOf("0x10C4", "0xEAB0", "SN1001"), expected);
    EXPECT_NE(usbContainerIdOf("10C4", "EAB0", "SN1002"), expected);
    EXPECT_EQ(usbContainerIdOf("10C4", "EAB0G", "SN1001"), std::nullopt);
    EXPECT_EQ(usbContainerIdOf("", "EAB0", "SN1001"), std::nullopt);
    EXPECT_EQ(usbContainerIdOf("10000", "EAB0", "SN1001"), std::nullopt);
}

class SelectionTest : public ::testing::Test {
  protected:
    RecordingParts parts_;
    RecordingPanels panels_{parts_};
    FakeEndpoints endpoints_;
    StudioHooks hooks_{&endpoints_, &parts_, &panels_, nullptr, nullptr, nullptr};
    DeviceSelection selection_{hooks_};
    std::shared_ptr<FakeDevice> cedar_ = std::make_shared<FakeDevice>("SN7", "Cedar", true);
    DeviceInfo cedarInfo_ = readDeviceInfo(*cedar_);
};

TEST_F(SelectionTest, SelectingNoneIdlesEverythingAndStopsCapture) {
    selection_.selectNone();
    EXPECT_EQ(parts_.calls, (std::vector<std::string>{"panelsIdle", "idle", "stopCapture"}));
    EXPECT_EQ(selection_.selected(), nullptr);
}

TEST_F(SelectionTest, EverySelectionGetsANewTicketAndOldGuardsFail) {
    const auto before = selection_.ticket();
    const ResultGuard guard = selection_.guard();
    EXPECT_TRUE(guard());
    selection_.select(cedar_, cedarInfo_);
    EXPECT_FALSE(selection_.isCurrent(before));
    EXPECT_FALSE(guard());
    const auto ticket = selection_.ticket();
    const ResultGuard cedarGuard = selection_.guard();
    selection_.select(cedar_, cedarInfo_);  // the same microphone again is a new selection
    EXPECT_FALSE(selection_.isCurrent(ticket));
    EXPECT_FALSE(cedarGuard());

    ResultGuard outliving;
    {
        DeviceSelection gone(hooks_);
        outliving = gone.guard();
        EXPECT_TRUE(outliving());
    }
    EXPECT_FALSE(outliving());
}

TEST_F(SelectionTest, WithoutACaptureEndpointTheMicrophoneStaysSelectedWithoutPanels) {
    EXPECT_CALL(*cedar_, GetDeviceSN(::testing::_)).Times(0);
    EXPECT_CALL(*cedar_, IsStarted()).Times(0);
    selection_.select(cedar_, cedarInfo_);  // works from what is known: no call
    EXPECT_EQ(selection_.selected(), cedar_);
    EXPECT_TRUE(selection_.isSelected("sn7"));
    ASSERT_EQ(endpoints_.asked.size(), 1u);
    EXPECT_EQ(endpoints_.asked[0], endpoints::usbDeviceContainerId("10C4", "EAB0", "SN7"));
    EXPECT_EQ(parts_.calls, (std::vector<std::string>{"panelsIdle", "idle", "stopCapture"}));
}

TEST_F(SelectionTest, WithAnEndpointPanelsOfTheModelAreLoadedAndCaptureStarts) {
    endpoints_.endpoints.push_back(
        {endpoints::usbDeviceContainerId("10C4", "EAB0", "SN7"), "card7"});
    selection_.select(cedar_, cedarInfo_);
    EXPECT_EQ(parts_.calls,
              (std::vector<std::string>{"panelsIdle", "idle", "stopCapture", "fillOutputs",
                                        "loadPanels 23", "startCapture card7"}));
    EXPECT_EQ(selection_.captureEndpoint(), "card7");
}

TEST_F(SelectionTest, AnUnknownProductGetsTheFirstThreePanels) {
    auto other = std::make_shared<FakeDevice>("SN8", "Spruce", true);
    endpoints_.endpoints.push_back(
        {endpoints::usbDeviceContainerId("10C4", "EAB0", "SN8"), "card8"});
    selection_.select(other, readDeviceInfo(*other));
    EXPECT_TRUE(parts_.called("loadPanels 7"));
}

TEST(AdministratorTest, RootAndMembersOfAnAdministratorsGroupAre) {
    // A system whose only group is `group`.
    const auto onlyGroup = [](std::string_view group, gid_t id) -> GroupLookup {
        return [group, id](const char* name) -> std::optional<gid_t> {
            return group == name ? std::optional<gid_t>(id) : std::nullopt;
        };
    };
    const GroupLookup debian = onlyGroup("sudo", 27);
    const GroupLookup redHat = onlyGroup("wheel", 10);
    EXPECT_TRUE(isAdministrator({0, {}}, debian));
    EXPECT_TRUE(isAdministrator({1000, {100, 27}}, debian));
    EXPECT_FALSE(isAdministrator({1000, {100, 10}}, debian));
    EXPECT_TRUE(isAdministrator({1000, {100, 10}}, redHat));
    EXPECT_FALSE(isAdministrator({1000, {100}}, redHat));
    const GroupLookup none = [](const char*) -> std::optional<gid_t> { return std::nullopt; };
    EXPECT_FALSE(isAdministrator({1000, {0, 27, 10}}, none));
}

}  // namespace
}  // namespace qm::studio::testing
