#include <gtest/gtest.h>

#include "platform/endpoints/udev_endpoints.h"

namespace qm::endpoints {
namespace {

TEST(UdevEndpoints, CardAndBridgeOfOneUsbDeviceShareTheContainerId) {
    // The card's USB parent reports lower-case ids; the bridge library reports upper case.
    const auto card = containerIdFromUsbAttributes("10c4", "eab0", "SN1002", "/devices/usb1/1-2");
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(*card, usbDeviceContainerId("10C4", "EAB0", "SN1002"));
}

TEST(UdevEndpoints, DevicesWithoutSerialUseTheirPathAndNonUsbCardsHaveNone) {
    const auto a = containerIdFromUsbAttributes("046d", "0a44", "", "/devices/usb1/1-3");
    const auto b = containerIdFromUsbAttributes("046d", "0a44", "", "/devices/usb1/1-4");
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_FALSE(containerIdFromUsbAttributes("", "", "", "/devices/pci0000:00").has_value());
}

TEST(UdevEndpoints, StartsAndStopsOnThisMachine) {
    // Whatever the machine has, construction and destruction end in bounded time and an
    // unknown endpoint has no container id.
    UdevEndpoints endpoints;
    EXPECT_FALSE(endpoints.containerIdOfEndpoint("/sys/no/such/card").has_value());
    EXPECT_EQ(endpoints.usbContainerId("10C4", "EAB0", "X"),
              usbDeviceContainerId("10C4", "EAB0", "X").toBracedString());
}

TEST(UdevEndpoints, OnlyPlainSysfsPathsOfUsbDevicesGiveAContainerId) {
    EXPECT_FALSE(containerIdOfSysfsDevice("/devices/no/such/card"));
    EXPECT_FALSE(containerIdOfSysfsDevice("/devices/virtual/net/lo")) << "not on USB";
    EXPECT_FALSE(containerIdOfSysfsDevice("/devices/../../etc"));
    EXPECT_FALSE(containerIdOfSysfsDevice(""));
}

}  // namespace
}  // namespace qm::endpoints
