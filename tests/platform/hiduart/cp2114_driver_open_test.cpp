#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver_fixture.h"
#include "platform/hiduart/cp2114_reports.h"

namespace qm::hiduart::testing {
namespace {

using Kind = FakeHidReport::Kind;

TEST_F(DriverTest, OpenChecksThePartEnablesTheUartAndConfigSendsReport0x50) {
    const HID_UART_DEVICE device = openBridge();
    EXPECT_NE(device, kNoDevice);
    EXPECT_TRUE(bridge->uartEnabled());

    ASSERT_EQ(driver.SetUartConfig(device, 57600, HID_UART_EIGHT_DATA_BITS, HID_UART_NO_PARITY,
                                   HID_UART_SHORT_STOP_BIT, HID_UART_NO_FLOW_CONTROL),
              HID_UART_SUCCESS);

    const std::vector<FakeHidReport> expected{
        {Kind::GetFeature, {0x46}},
        {Kind::SetFeature, paddedReport({0x41, 0x01})},
        {Kind::SetFeature, paddedReport({0x50, 0x00, 0x00, 0xE1, 0x00, 0x00, 0x00, 0x03, 0x00})},
    };
    EXPECT_EQ(bridge->hostReports(), expected);
}

TEST_F(DriverTest, OpenFailuresLeaveNoHandleAndNoOpenDevice) {
    HID_UART_DEVICE device = 77;
    EXPECT_EQ(driver.Open(&device, 1, 0, 0), HID_UART_DEVICE_NOT_FOUND);
    EXPECT_EQ(device, kNoDevice);
    EXPECT_EQ(driver.Open(nullptr, 0, 0, 0), HID_UART_INVALID_PARAMETER);

    transport->refuseOpen("/dev/hidraw0");
    EXPECT_EQ(driver.Open(&device, 0, 0, 0), HID_UART_DEVICE_ACCESS_ERROR);

    // A device of the maker's that is no HID-to-UART bridge, opened by naming its ids.
    auto smbus = transport->addDevice({kSiliconLabsVid, 0xEA90, "/dev/hidraw5", "", "", ""}, 0x0C);
    EXPECT_EQ(driver.Open(&device, 0, kSiliconLabsVid, 0xEA90), HID_UART_DEVICE_NOT_SUPPORTED);
    EXPECT_EQ(smbus->openHandles(), 0);

    auto silent = transport->addCp2114(6, "SN6");
    silent->failNext(FakeHidOperation::SendFeature, HidIoStatus::Failed);
    EXPECT_EQ(driver.Open(&device, 1, 0, 0), HID_UART_DEVICE_IO_FAILED);
    EXPECT_EQ(silent->openHandles(), 0);

    auto vanishing = transport->addCp2114(7, "SN7");
    vanishing->failNext(FakeHidOperation::GetFeature, HidIoStatus::Disconnected);
    EXPECT_EQ(driver.Open(&device, 2, 0, 0), HID_UART_DEVICE_IO_FAILED);
    EXPECT_EQ(vanishing->openHandles(), 0);

    EXPECT_EQ(device, kNoDevice);
    EXPECT_EQ(driver.openCount(), 0u);
}

TEST_F(DriverTest, HandlesAreNeverReusedAndStaleOnesAreRefusedByEveryCall) {
    const HID_UART_DEVICE first = openBridge();
    ASSERT_EQ(driver.Close(first), HID_UART_SUCCESS);
    EXPECT_EQ(bridge->openHandles(), 0);
    const HID_UART_DEVICE second = openBridge();
    EXPECT_NE(second, first);
    EXPECT_NE(second, kNoDevice);

    for (const HID_UART_DEVICE stale : {first, kNoDevice, second + 1000}) {
        char text[HID_UART_DEVICE_STRLEN];
        bool opened = true;
        std::uint32_t a = 0;
        std::uint32_t b = 0;
        std::uint8_t data[4] = {};
        EXPECT_EQ(driver.GetOpenedString(stale, text, HID_UART_GET_PATH_STR),
                  HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.IsOpened(stale, &opened), HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.SetUartConfig(stale, 57600, 3, 0, 0, 0), HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.SetTimeouts(stale, 1, 1), HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.GetTimeouts(stale, &a, &b), HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.Write(stale, data, 4, &a), HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.Read(stale, data, 4, &a), HID_UART_INVALID_HANDLE);
        EXPECT_EQ(driver.Close(stale), HID_UART_INVALID_HANDLE);
    }
    // The live handle still works after all that.
    bool opened = false;
    EXPECT_EQ(driver.IsOpened(second, &opened), HID_UART_SUCCESS);
    EXPECT_TRUE(opened);
    EXPECT_EQ(driver.IsOpened(second, nullptr), HID_UART_INVALID_PARAMETER);
}

TEST_F(DriverTest, ABridgeIsOpenOnOneHandleAtATime) {
    const HID_UART_DEVICE first = openBridge();
    HID_UART_DEVICE again = 77;
    EXPECT_EQ(driver.Open(&again, 0, 0, 0), HID_UART_DEVICE_ACCESS_ERROR);
    EXPECT_EQ(again, kNoDevice);
    EXPECT_EQ(bridge->openHandles(), 1);

    ASSERT_EQ(driver.Close(first), HID_UART_SUCCESS);
    const HID_UART_DEVICE reopened = openBridge();
    EXPECT_NE(reopened, kNoDevice);
}

TEST_F(DriverTest, AGoneBridgeDoesNotBlockItsReturnUnderTheSamePath) {
    const HID_UART_DEVICE old = openBridge();
    bridge->unplug();
    const std::uint8_t frame[] = {0x03};
    std::uint32_t written = 0;
    ASSERT_EQ(driver.Write(old, frame, 1, &written), HID_UART_DEVICE_IO_FAILED);

    auto back = transport->addCp2114(0, "SN1001");  // plugged in again, same node
    const HID_UART_DEVICE fresh = openBridge();
    EXPECT_NE(fresh, old);
    EXPECT_EQ(back->openHandles(), 1);
    bool opened = false;
    ASSERT_EQ(driver.IsOpened(fresh, &opened), HID_UART_SUCCESS);
    EXPECT_TRUE(opened);
}

TEST_F(DriverTest, OpenedStringsDescribeTheOpenedBridge) {
    transport->addCp2114(9, "SN9", "Birch");
    const HID_UART_DEVICE device = openBridge(1);
    char text[HID_UART_DEVICE_STRLEN];
    ASSERT_EQ(driver.GetOpenedString(device, text, HID_UART_GET_VID_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(text, "10C4");
    ASSERT_EQ(driver.GetOpenedString(device, text, HID_UART_GET_PID_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(text, "EAB0");
    ASSERT_EQ(driver.GetOpenedString(device, text, HID_UART_GET_PATH_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(text, "/dev/hidraw9");
    ASSERT_EQ(driver.GetOpenedString(device, text, HID_UART_GET_PRODUCT_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(text, "Birch");
    EXPECT_EQ(driver.GetOpenedString(device, text, 9), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.GetOpenedString(device, nullptr, 1), HID_UART_INVALID_PARAMETER);
}

TEST_F(DriverTest, UartConfigOutsideTheChipsCodesIsRefusedWithoutTouchingTheDevice) {
    const HID_UART_DEVICE device = openBridge();
    const std::size_t reportsAfterOpen = bridge->hostReports().size();
    EXPECT_EQ(driver.SetUartConfig(device, 57600, 4, 0, 0, 0), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.SetUartConfig(device, 57600, 3, 5, 0, 0), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.SetUartConfig(device, 57600, 3, 0, 2, 0), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.SetUartConfig(device, 57600, 3, 0, 0, 2), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.SetUartConfig(device, 299, 3, 0, 0, 0), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.SetUartConfig(device, 1'000'001, 3, 0, 0, 0), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(bridge->hostReports().size(), reportsAfterOpen);

    EXPECT_EQ(driver.SetUartConfig(device, 300, 0, 4, 1, 1), HID_UART_SUCCESS);
    EXPECT_EQ(driver.SetUartConfig(device, 1'000'000, 3, 0, 0, 0), HID_UART_SUCCESS);
    bridge->failNext(FakeHidOperation::SendFeature, HidIoStatus::Failed);
    EXPECT_EQ(driver.SetUartConfig(device, 57600, 3, 0, 0, 0), HID_UART_DEVICE_IO_FAILED);
}

TEST_F(DriverTest, TimeoutsDefaultToOneSecondAndAreKeptPerHandle) {
    transport->addCp2114(1, "SN2");
    const HID_UART_DEVICE first = openBridge(0);
    const HID_UART_DEVICE second = openBridge(1);
    std::uint32_t readMs = 0;
    std::uint32_t writeMs = 0;
    ASSERT_EQ(driver.GetTimeouts(first, &readMs, &writeMs), HID_UART_SUCCESS);
    EXPECT_EQ(readMs, 1000u);
    EXPECT_EQ(writeMs, 1000u);

    ASSERT_EQ(driver.SetTimeouts(first, 150, 200), HID_UART_SUCCESS);
    ASSERT_EQ(driver.GetTimeouts(first, &readMs, &writeMs), HID_UART_SUCCESS);
    EXPECT_EQ(readMs, 150u);
    EXPECT_EQ(writeMs, 200u);
    ASSERT_EQ(driver.GetTimeouts(second, &readMs, &writeMs), HID_UART_SUCCESS);
    EXPECT_EQ(readMs, 1000u);
    EXPECT_EQ(driver.GetTimeouts(first, nullptr, &writeMs), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.GetTimeouts(first, &readMs, nullptr), HID_UART_INVALID_PARAMETER);
}

}  // namespace
}  // namespace qm::hiduart::testing
