// The bridge driver on hidapi over a mocked kernel (a umockdev testbed): a CP2114's hidraw node
// found by enumeration, opened, configured with feature reports, and used for data reports.
#include <gtest/gtest.h>

#include "common/runtime/clock.h"
#include "platform/hiduart/cp2114_driver.h"
#include "platform/hiduart/hidapi_transport.h"
#include "support/mock_kernel.h"

namespace qm::hiduart {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::MockCp2114;
using testing::MockKernel;

std::string bridgeString(Cp2114Driver& driver, std::uint32_t kind) {
    char text[HID_UART_DEVICE_STRLEN] = {};
    EXPECT_EQ(driver.GetString(0, 0, 0, text, kind), HID_UART_SUCCESS);
    return text;
}

Bytes prefix(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

TEST(HidrawDriver, OpensConfiguresAndExchangesWithAMockedCp2114) {
    MockKernel kernel;
    const auto microphone = kernel.addMicrophone(2, "SN1001");
    MockCp2114 chip(kernel, microphone.hidrawNode);
    Cp2114Driver driver(createHidapiTransport(), Clock::real());

    std::uint32_t count = 0;
    ASSERT_EQ(driver.GetNumDevices(&count, 0, 0), HID_UART_SUCCESS);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(bridgeString(driver, HID_UART_GET_SERIAL_STR), "SN1001");
    EXPECT_EQ(bridgeString(driver, HID_UART_GET_MANUFACTURER_STR), "QUILLMERE");
    EXPECT_EQ(bridgeString(driver, HID_UART_GET_PRODUCT_STR), "Cedar");

    HID_UART_DEVICE handle = kNoDevice;
    ASSERT_EQ(driver.Open(&handle, 0, 0, 0), HID_UART_SUCCESS);
    EXPECT_EQ(chip.featuresAsked(), Bytes{0x46}) << "the version report identifies the part";
    ASSERT_EQ(chip.featuresSet().size(), 1u);
    EXPECT_EQ(prefix(chip.featuresSet()[0], 2), (Bytes{0x41, 0x01})) << "the UART is enabled";
    char text[HID_UART_DEVICE_STRLEN] = {};
    ASSERT_EQ(driver.GetOpenedString(handle, text, HID_UART_GET_PATH_STR), HID_UART_SUCCESS);
    EXPECT_EQ(std::string(text), microphone.hidrawNode);

    ASSERT_EQ(driver.SetUartConfig(handle, 57600, 3, 0, 0, 0), HID_UART_SUCCESS);
    ASSERT_EQ(chip.featuresSet().size(), 2u);
    EXPECT_EQ(prefix(chip.featuresSet()[1], 9),
              (Bytes{0x50, 0x00, 0x00, 0xE1, 0x00, 0x00, 0x00, 0x03, 0x00}));

    ASSERT_EQ(driver.SetTimeouts(handle, 50, 50), HID_UART_SUCCESS);
    std::uint32_t written = 0;
    const std::uint8_t frame[] = {0x08, 0x02};
    ASSERT_EQ(driver.Write(handle, frame, 2, &written), HID_UART_SUCCESS);
    EXPECT_EQ(written, 2u);
    const auto out = chip.takeOutputReport();
    ASSERT_TRUE(out);
    EXPECT_EQ(prefix(*out, 4), (Bytes{0x02, 0x08, 0x02, 0x00}));

    // A reply, then two reports whose bytes a terminal would take for control characters.
    chip.sendInputReport(Bytes{0x04, 0x02, 0x01, 0x02, 0x03});
    std::uint8_t reply[1000] = {};
    std::uint32_t read = 0;
    EXPECT_EQ(driver.Read(handle, reply, sizeof reply, &read), HID_UART_READ_TIMED_OUT);
    EXPECT_EQ(Bytes(reply, reply + read), (Bytes{0x02, 0x01, 0x02, 0x03}));
    chip.sendInputReport(Bytes{0x02, 0x0D, 0x03});
    chip.sendInputReport(Bytes{0x01, 0x11});
    EXPECT_EQ(driver.Read(handle, reply, 3, &read), HID_UART_SUCCESS);
    EXPECT_EQ(Bytes(reply, reply + read), (Bytes{0x0D, 0x03, 0x11}));

    // Unplugged: the transfer fails, the handle reports the bridge gone.
    chip.disconnect();
    kernel.unplug(microphone);
    EXPECT_EQ(driver.Read(handle, reply, sizeof reply, &read), HID_UART_DEVICE_IO_FAILED);
    bool opened = true;
    EXPECT_EQ(driver.IsOpened(handle, &opened), HID_UART_SUCCESS);
    EXPECT_FALSE(opened);
    EXPECT_EQ(driver.Close(handle), HID_UART_SUCCESS);
    ASSERT_EQ(driver.GetNumDevices(&count, 0, 0), HID_UART_SUCCESS);
    EXPECT_EQ(count, 0u);
}

TEST(HidrawDriver, ANodeThatAnswersNoHidRequestIsNotOpened) {
    MockKernel kernel;
    kernel.addMicrophone(4, "SN1004", "Larch");  // no chip behind its node
    Cp2114Driver driver(createHidapiTransport(), Clock::real());
    HID_UART_DEVICE handle = 7;
    EXPECT_NE(driver.Open(&handle, 0, 0, 0), HID_UART_SUCCESS);
    EXPECT_EQ(handle, kNoDevice);
    EXPECT_EQ(driver.openCount(), 0u);
    EXPECT_EQ(driver.Open(&handle, 1, 0, 0), HID_UART_DEVICE_NOT_FOUND);
    EXPECT_EQ(createHidapiTransport()->open("/nonexistent/hidraw99"), nullptr);
}

}  // namespace
}  // namespace qm::hiduart
