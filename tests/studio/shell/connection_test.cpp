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
    FakeConnector connector_;
    VirtualClock clock_;
    ServiceConnection connection_{connector_, clock_, 2s};
};

TEST_F(ConnectionTest, UnreachableServiceLeavesTheConnectionClosed) {
    connector_.running = false;
    EXPECT_EQ(connection_.Connect(), sdk::E_FAIL);
    EXPECT_FALSE(connection_.connected());
    EXPECT_TRUE(connection_.devices().empty());
}

TEST_F(ConnectionTest, WaitsEveryTenMillisecondsUntilTheServiceIsInitialised) {
    connector_.service->notInitializedCalls = 5;
    connector_.service->add("SN1", "Alder");
    EXPECT_EQ(connection_.Connect(), sdk::S_OK);
    EXPECT_TRUE(connection_.connected());
    EXPECT_EQ(connector_.service->initializeCalls, 6);
    EXPECT_EQ(clock_.sleepCount(), 5u);
    EXPECT_EQ(clock_.sleptTotal(), 50ms);
    EXPECT_EQ(connection_.devices().size(), 1u);
}

TEST_F(ConnectionTest, AServiceThatNeverFinishesInitialisingIsGivenUpOnTime) {
    connector_.service->notInitializedCalls = 1'000'000;
    EXPECT_EQ(connection_.Connect(), sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT));
    EXPECT_FALSE(connection_.connected());
    EXPECT_GE(clock_.sleptTotal(), 2s);
    EXPECT_LE(clock_.sleptTotal(), 2s + 10ms);
}

TEST_F(ConnectionTest, KeepsEnumerationOrderAndFindsSerialsWithoutCase) {
    auto first = connector_.service->add("SN1", "Alder");
    auto second = connector_.service->add("sn2", "Birch", false);
    auto third = connector_.service->add("SN3", "Cedar");
    ASSERT_EQ(connection_.Connect(), sdk::S_OK);
    ASSERT_EQ(connection_.devices().size(), 3u);
    EXPECT_EQ(connection_.devices()[1], second);
    EXPECT_EQ(connection_.findBySerial("SN2"), second);
    EXPECT_EQ(connection_.findBySerial("SN4"), nullptr);

    EXPECT_TRUE(connection_.removeBySerial("Sn2"));
    EXPECT_FALSE(connection_.removeBySerial("Sn2"));
    ASSERT_EQ(connection_.devices().size(), 2u);
    EXPECT_EQ(connection_.devices()[1], third);

    auto fourth = connector_.service->add("SN4", "Larch");
    EXPECT_EQ(connection_.fetchNew("sn4"), fourth);
    EXPECT_EQ(connection_.devices().back(), fourth);
    EXPECT_EQ(connection_.fetchNew("SN5"), nullptr);

    connection_.Disconnect();
    EXPECT_FALSE(connection_.connected());
    EXPECT_TRUE(connection_.devices().empty());
    EXPECT_EQ(connection_.fetchNew("SN4"), nullptr);
}

TEST(DeviceGroupTest, ProductNamesDecideGroupAndPanels) {
    EXPECT_EQ(deviceGroupOf("CP2114 USB-Audio Bridge"), 1);
    EXPECT_EQ(deviceGroupOf("ALDER"), 2);
    EXPECT_EQ(deviceGroupOf("birch"), 3);
    EXPECT_EQ(deviceGroupOf("Cedar"), 4);
    EXPECT_EQ(deviceGroupOf("Larch"), 5);
    EXPECT_EQ(deviceGroupOf("Rowan"), 6);
    EXPECT_EQ(deviceGroupOf("Alder "), 0);
    EXPECT_EQ(deviceGroupOf(""), 0);
    EXPECT_EQ(deviceGroupHeader(0), "");
    EXPECT_EQ(deviceGroupHeader(3), "Birch");

    EXPECT_EQ(panelMaskOf("CP2114 USB-Audio Bridge"), 15u);
    EXPECT_EQ(panelMaskOf("Alder"), 15u);
    EXPECT_EQ(panelMaskOf("Birch"), 31u);
    EXPECT_EQ(panelMaskOf("Cedar"), 23u);
    EXPECT_EQ(panelMaskOf("larch"), 55u);
    EXPECT_EQ(panelMaskOf("Rowan"), 55u);
    EXPECT_EQ(panelMaskOf("Spruce"), 7u);
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
};

TEST_F(SelectionTest, SelectingNoneIdlesEverythingAndStopsCapture) {
    selection_.select(nullptr);
    EXPECT_EQ(parts_.calls, (std::vector<std::string>{"panelsIdle", "idle", "stopCapture"}));
    EXPECT_EQ(selection_.selected(), nullptr);
}

TEST_F(SelectionTest, WithoutACaptureEndpointTheMicrophoneStaysSelectedWithoutPanels) {
    selection_.select(cedar_);
    EXPECT_EQ(selection_.selected(), cedar_);
    EXPECT_TRUE(selection_.isSelected("sn7"));
    ASSERT_EQ(endpoints_.asked.size(), 1u);
    EXPECT_EQ(endpoints_.asked[0], endpoints::usbDeviceContainerId("10C4", "EAB0", "SN7"));
    EXPECT_EQ(parts_.calls, (std::vector<std::string>{"panelsIdle", "idle", "stopCapture"}));
}

TEST_F(SelectionTest, WithAnEndpointPanelsOfTheModelAreLoadedAndCaptureStarts) {
    endpoints_.endpoints.push_back(
        {endpoints::usbDeviceContainerId("10C4", "EAB0", "SN7"), "card7"});
    selection_.select(cedar_);
    EXPECT_EQ(parts_.calls,
              (std::vector<std::string>{"panelsIdle", "idle", "stopCapture", "fillOutputs",
                                        "loadPanels 23", "startCapture card7"}));
    EXPECT_EQ(selection_.captureEndpoint(), "card7");
}

TEST_F(SelectionTest, AnUnknownProductGetsTheFirstThreePanels) {
    auto other = std::make_shared<FakeDevice>("SN8", "Spruce", true);
    endpoints_.endpoints.push_back(
        {endpoints::usbDeviceContainerId("10C4", "EAB0", "SN8"), "card8"});
    selection_.select(other);
    EXPECT_TRUE(parts_.called("loadPanels 7"));
}

TEST(AdministratorTest, RootAndMembersOfAnAdministratorsGroupAre) {
    const GroupLookup debian = [](const char* name) -> std::optional<gid_t> {
        if (std::string_view(name) == "sudo") {
            return 27;
        }
        return std::nullopt;
    };
    const GroupLookup redHat = [](const char* name) -> std::optional<gid_t> {
        if (std::string_view(name) == "wheel") {
            return 10;
        }
        return std::nullopt;
    };
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
