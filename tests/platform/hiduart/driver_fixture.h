#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "platform/hiduart/cp2114_driver.h"
#include "platform/hiduart/fake/fake_hid_transport.h"

namespace qm::hiduart::testing {

// `count` bytes that differ from their neighbours, so a shifted or repeated byte shows.
inline std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint8_t seed = 1) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) % 251);
    }
    return bytes;
}

// A 64-byte report: `head` followed by zeros.
inline std::vector<std::uint8_t> paddedReport(std::vector<std::uint8_t> head) {
    head.resize(64, 0);
    return head;
}

// A driver over a fake transport with one CP2114 at /dev/hidraw0, on a virtual clock.
class DriverTest : public ::testing::Test {
  protected:
    HID_UART_DEVICE openBridge(std::uint32_t index = 0) {
        HID_UART_DEVICE device = kNoDevice;
        EXPECT_EQ(driver.Open(&device, index, 0, 0), HID_UART_SUCCESS);
        return device;
    }

    // Time passed on the virtual clock since the test began.
    Duration elapsed() const { return clock.now() - start; }

    VirtualClock clock;
    const TimePoint start = clock.now();
    std::shared_ptr<FakeHidTransport> transport = std::make_shared<FakeHidTransport>(clock);
    std::shared_ptr<FakeHidBridge> bridge = transport->addCp2114(0, "SN1001");
    Cp2114Driver driver{transport, clock};
};

}  // namespace qm::hiduart::testing
