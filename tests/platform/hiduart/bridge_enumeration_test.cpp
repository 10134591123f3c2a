#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver_fixture.h"
#include "platform/hiduart/bridge_enumeration.h"
#include "platform/hiduart/cp2114_reports.h"
#include "platform/hiduart/wide_text.h"

namespace qm::hiduart::testing {
namespace {

class EnumerationTest : public DriverTest {
  protected:
    void SetUp() override {
        transport->addDevice({kSiliconLabsVid, kCp2110Pid, "/dev/hidraw3", "CP2110-7", "SL",
                              "CP2110 HID USB-to-UART Bridge"},
                             cp2114::kPartCp2110);
        // Not bridges of the family: the maker's HID-to-SMBus part and a keyboard.
        transport->addDevice({kSiliconLabsVid, 0xEA90, "/dev/hidraw1", "", "SL", "CP2112"}, 0x0C);
        transport->addDevice({0x046D, 0xC31C, "/dev/hidraw2", "", "Logitech", "Keyboard"}, 0);
        // A bridge with customised ids, reachable only by naming them.
        transport->addDevice({0x1234, 0x5678, "/dev/hidraw4", "C-1", "Maker", "Custom"},
                             cp2114::kPartCp2114);
    }

    std::uint32_t count(std::uint16_t vid, std::uint16_t pid) {
        std::uint32_t n = 99;
        EXPECT_EQ(driver.GetNumDevices(&n, vid, pid), HID_UART_SUCCESS);
        return n;
    }

    std::string text(std::uint32_t index, std::uint32_t kind, std::uint16_t vid = 0,
                     std::uint16_t pid = 0) {
        char buffer[HID_UART_DEVICE_STRLEN];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(driver.GetString(index, vid, pid, buffer, kind), HID_UART_SUCCESS);
        return buffer;
    }
};

TEST_F(EnumerationTest, ZeroIdsSelectTheFamilyAndNamedIdsMatchExactly) {
    EXPECT_EQ(count(0, 0), 2u);  // the CP2114 and the CP2110
    EXPECT_EQ(count(kSiliconLabsVid, kCp2114Pid), 1u);
    EXPECT_EQ(count(kSiliconLabsVid, kCp2110Pid), 1u);
    EXPECT_EQ(count(kSiliconLabsVid, 0), 2u);
    EXPECT_EQ(count(0, kCp2110Pid), 1u);
    EXPECT_EQ(count(kSiliconLabsVid, 0xEA90), 1u);  // named exactly, so listed
    EXPECT_EQ(count(0x1234, 0x5678), 1u);
    EXPECT_EQ(count(0x1234, 0), 0u);
    EXPECT_EQ(count(0x046D, 0xC31D), 0u);
    EXPECT_EQ(driver.GetNumDevices(nullptr, 0, 0), HID_UART_INVALID_PARAMETER);
}

TEST_F(EnumerationTest, IndexesFollowDevicePathsAndStringsHaveEveryKind) {
    // /dev/hidraw0 (CP2114) sorts before /dev/hidraw3 (CP2110), whatever the listing order.
    EXPECT_EQ(text(0, HID_UART_GET_VID_STR), "10C4");
    EXPECT_EQ(text(0, HID_UART_GET_PID_STR), "EAB0");
    EXPECT_EQ(text(0, HID_UART_GET_PATH_STR), "/dev/hidraw0");
    EXPECT_EQ(text(0, HID_UART_GET_SERIAL_STR), "SN1001");
    EXPECT_EQ(text(0, HID_UART_GET_MANUFACTURER_STR), "Silicon Laboratories");
    EXPECT_EQ(text(0, HID_UART_GET_PRODUCT_STR), "CP2114 USB-Audio Bridge");
    EXPECT_EQ(text(1, HID_UART_GET_PID_STR), "EA80");
    EXPECT_EQ(text(1, HID_UART_GET_SERIAL_STR), "CP2110-7");
    EXPECT_EQ(text(0, HID_UART_GET_VID_STR, 0x1234, 0x5678), "1234");
    EXPECT_EQ(text(0, HID_UART_GET_PRODUCT_STR, 0x1234, 0x5678), "Custom");
}

TEST_F(EnumerationTest, BadStringRequestsAreRefused) {
    char buffer[HID_UART_DEVICE_STRLEN] = "untouched";
    EXPECT_EQ(driver.GetString(0, 0, 0, buffer, 0), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.GetString(0, 0, 0, buffer, 7), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.GetString(0, 0, 0, nullptr, HID_UART_GET_SERIAL_STR),
              HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.GetString(2, 0, 0, buffer, HID_UART_GET_SERIAL_STR),
              HID_UART_DEVICE_NOT_FOUND);
    EXPECT_STREQ(buffer, "untouched");
}

TEST_F(EnumerationTest, UnpluggedBridgesLeaveTheList) {
    bridge->unplug();
    EXPECT_EQ(count(0, 0), 1u);
    EXPECT_EQ(text(0, HID_UART_GET_PATH_STR), "/dev/hidraw3");
}

TEST(BridgeStrings, LongTextIsCutOnACharacterBoundaryAndAlwaysTerminated) {
    // 200 two-byte characters: 400 bytes, cut to 129 whole characters (258 bytes).
    std::string longText;
    for (int i = 0; i < 200; ++i) {
        longText += "\xC3\xA9";  // é
    }
    char buffer[HID_UART_DEVICE_STRLEN + 16];
    std::memset(buffer, 0x7F, sizeof buffer);
    copyBridgeString(longText, buffer);
    EXPECT_EQ(std::strlen(buffer), 258u);
    EXPECT_EQ(std::string(buffer), longText.substr(0, 258));
    for (std::size_t i = HID_UART_DEVICE_STRLEN; i < sizeof buffer; ++i) {
        EXPECT_EQ(buffer[i], 0x7F) << "written past the buffer at " << i;
    }

    const std::string ascii(300, 'a');
    copyBridgeString(ascii, buffer);
    EXPECT_EQ(std::strlen(buffer), HID_UART_DEVICE_STRLEN - 1);
}

TEST(WideText, ConvertsCodePointsAndReplacesNonCharacters) {
    EXPECT_EQ(utf8FromWide(L"Caf\u00e9 \U0001F3A4"), "Caf\xC3\xA9 \xF0\x9F\x8E\xA4");
    const wchar_t invalid[] = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                               L'b', 0};
    EXPECT_EQ(utf8FromWide(invalid),
              "a\xEF\xBF\xBD\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf8FromWide(L""), "");
}

}  // namespace
}  // namespace qm::hiduart::testing
