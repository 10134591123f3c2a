#include <gtest/gtest.h>

#include <chrono>

#include "driver_fixture.h"

using namespace std::chrono_literals;

namespace qm::hiduart::testing {
namespace {

class WriteTest : public DriverTest {
  protected:
    void SetUp() override { device = openBridge(); }
    HID_UART_DEVICE device = kNoDevice;
};

TEST_F(WriteTest, LongWriteIsSplitIntoReportsWhoseIdIsTheirLength) {
    const std::vector<std::uint8_t> data = patternBytes(150);
    std::uint32_t written = 0;
    ASSERT_EQ(driver.Write(device, data.data(), 150, &written), HID_UART_SUCCESS);
    EXPECT_EQ(written, 150u);

    const auto reports = bridge->outputReports();
    ASSERT_EQ(reports.size(), 3u);
    const std::size_t lengths[] = {63, 63, 24};
    std::size_t offset = 0;
    for (std::size_t r = 0; r < 3; ++r) {
        ASSERT_EQ(reports[r].size(), 64u);
        EXPECT_EQ(reports[r][0], lengths[r]);
        for (std::size_t i = 0; i < 63; ++i) {
            const std::uint8_t expected = i < lengths[r] ? data[offset + i] : 0;
            EXPECT_EQ(reports[r][1 + i], expected) << "report " << r << " byte " << i;
        }
        offset += lengths[r];
    }
}

TEST_F(WriteTest, CommandFrameGoesOutAsOneReport) {
    const std::uint8_t frame[] = {0x0E, 0x03, 0x20};
    std::uint32_t written = 0;
    ASSERT_EQ(driver.Write(device, frame, 3, &written), HID_UART_SUCCESS);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(bridge->outputReports(),
              std::vector<std::vector<std::uint8_t>>{paddedReport({0x03, 0x0E, 0x03, 0x20})});
}

TEST_F(WriteTest, RequestSizesAndPointersAreChecked) {
    const std::vector<std::uint8_t> data = patternBytes(4097);
    std::uint32_t written = 5;
    EXPECT_EQ(driver.Write(device, data.data(), 0, &written), HID_UART_INVALID_REQUEST_LENGTH);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(driver.Write(device, data.data(), 4097, &written), HID_UART_INVALID_REQUEST_LENGTH);
    EXPECT_EQ(driver.Write(device, nullptr, 4, &written), HID_UART_INVALID_PARAMETER);
    EXPECT_EQ(driver.Write(device, data.data(), 4, nullptr), HID_UART_INVALID_PARAMETER);
    EXPECT_TRUE(bridge->outputReports().empty());
    EXPECT_EQ(driver.Write(device, data.data(), 4096, &written), HID_UART_SUCCESS);
    EXPECT_EQ(bridge->uartBytesWritten(), std::vector<std::uint8_t>(data.begin(), data.end() - 1));
}

TEST_F(WriteTest, SlowDeviceEndsTheWriteAtItsTimeOutWithTheBytesSent) {
    ASSERT_EQ(driver.SetTimeouts(device, 150, 100), HID_UART_SUCCESS);
    bridge->setWriteDuration(60ms);
    const std::vector<std::uint8_t> data = patternBytes(150);
    std::uint32_t written = 0;
    EXPECT_EQ(driver.Write(device, data.data(), 150, &written), HID_UART_WRITE_TIMED_OUT);
    EXPECT_EQ(written, 63u);  // the second report had 40 ms left and needed 60
    EXPECT_EQ(elapsed(), 100ms);
    EXPECT_EQ(bridge->outputReports().size(), 1u);
}

TEST_F(WriteTest, ZeroTimeOutStillSendsTheFirstReport) {
    ASSERT_EQ(driver.SetTimeouts(device, 0, 0), HID_UART_SUCCESS);
    const std::uint8_t frame[] = {0x08, 0x01};
    std::uint32_t written = 0;
    EXPECT_EQ(driver.Write(device, frame, 2, &written), HID_UART_SUCCESS);
    EXPECT_EQ(written, 2u);
}

TEST_F(WriteTest, TransportFailureAndUnplugAreReportedApart) {
    const std::uint8_t frame[] = {0x09, 0x91};
    std::uint32_t written = 9;
    bridge->failNext(FakeHidOperation::Write, HidIoStatus::Failed);
    EXPECT_EQ(driver.Write(device, frame, 2, &written), HID_UART_WRITE_ERROR);
    EXPECT_EQ(written, 0u);
    bool opened = false;
    ASSERT_EQ(driver.IsOpened(device, &opened), HID_UART_SUCCESS);
    EXPECT_TRUE(opened);  // a failed transfer alone does not close the channel

    bridge->unplug();
    EXPECT_EQ(driver.Write(device, frame, 2, &written), HID_UART_DEVICE_IO_FAILED);
    ASSERT_EQ(driver.IsOpened(device, &opened), HID_UART_SUCCESS);
    EXPECT_FALSE(opened);
    EXPECT_EQ(driver.Close(device), HID_UART_SUCCESS);
    EXPECT_EQ(bridge->openHandles(), 0);
}

}  // namespace
}  // namespace qm::hiduart::testing
