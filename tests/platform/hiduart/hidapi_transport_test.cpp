#include <gtest/gtest.h>

#include "common/runtime/clock.h"
#include "platform/hiduart/cp2114_driver.h"
#include "platform/hiduart/hidapi_transport.h"

namespace qm::hiduart {
namespace {

// Runs on machines without USB: only what holds whatever devices are present.
TEST(HidapiTransport, ListsDevicesWithPathsAndRefusesAMissingPath) {
    const std::shared_ptr<HidTransport> transport = createHidapiTransport();
    for (const HidDeviceInfo& device : transport->enumerate()) {
        EXPECT_FALSE(device.path.empty());
    }
    EXPECT_EQ(transport->open("/nonexistent/hidraw99"), nullptr);

    Cp2114Driver driver(transport, Clock::real());
    std::uint32_t count = 99;
    ASSERT_EQ(driver.GetNumDevices(&count, 0xFFFF, 0xFFFE), HID_UART_SUCCESS);
    EXPECT_EQ(count, 0u);
    HID_UART_DEVICE device = 5;
    EXPECT_EQ(driver.Open(&device, 0, 0xFFFF, 0xFFFE), HID_UART_DEVICE_NOT_FOUND);
    EXPECT_EQ(device, kNoDevice);
}

}  // namespace
}  // namespace qm::hiduart
