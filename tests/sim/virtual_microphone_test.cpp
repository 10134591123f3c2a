#include <gtest/gtest.h>

#include "common/runtime/virtual_clock.h"
#include "sim/virtual_hid_uart.h"

using namespace std::chrono_literals;

namespace qm::sim {
namespace {

using namespace hiduart;
using Bytes = std::vector<std::uint8_t>;

class VirtualBridgeTest : public ::testing::Test {
  protected:
    // Opens the bridge at `index` configured as the service configures it.
    HID_UART_DEVICE open(std::uint32_t index = 0) {
        HID_UART_DEVICE h = kNoDevice;
        EXPECT_EQ(bus.Open(&h, index, 0, 0), HID_UART_SUCCESS);
        EXPECT_EQ(bus.SetUartConfig(h, 57600, 3, 0, 0, 0), HID_UART_SUCCESS);
        EXPECT_EQ(bus.SetTimeouts(h, 150, 150), HID_UART_SUCCESS);
        return h;
    }
    HID_UART_STATUS write(HID_UART_DEVICE h, Bytes frame) {
        std::uint32_t written = 0;
        return bus.Write(h, frame.data(), static_cast<std::uint32_t>(frame.size()), &written);
    }
    // Reads like the service: asks for 1000 bytes.
    Bytes read(HID_UART_DEVICE h, HID_UART_STATUS* status = nullptr) {
        Bytes buffer(1000);
        std::uint32_t got = 0;
        const auto s = bus.Read(h, buffer.data(), 1000, &got);
        if (status)
            *status = s;
        buffer.resize(got);
        return buffer;
    }

    VirtualClock clock;
    VirtualHidUart bus{clock};
};

TEST_F(VirtualBridgeTest, ChangesApplyAndLeaveAnAcknowledgement) {
    auto mic = bus.plug(MicrophoneIdentity::make("Alder", "SN1"));
    const auto h = open();
    ASSERT_EQ(write(h, {0x0E, 0x03, 0x20}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->settings()[settings::Setting::EQ_3_GAIN], 0x20);
    EXPECT_EQ(read(h), (Bytes{0x00}));
    ASSERT_EQ(write(h, {0x0E, 0x00, 0x15}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->settings()[settings::Setting::EQ_NOTCH], 0x15) << "band 0 is the mask";
    ASSERT_EQ(write(h, {0x0A, 0x01, 0x81}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->settings()[settings::Setting::ALC_MODE], 0x81);
    ASSERT_EQ(write(h, {0x0F, 0x07, 0x11}), HID_UART_SUCCESS);
    EXPECT_EQ(read(h), (Bytes{0x00, 0x00, 0x01})) << "band 7 does not exist";
    ASSERT_EQ(write(h, {0x16, 0x05}), HID_UART_SUCCESS);
    EXPECT_EQ(read(h), (Bytes{0x01})) << "an Alder has no input gain";
}

TEST_F(VirtualBridgeTest, FramesAreCutFromTheByteStream) {
    auto mic = bus.plug(MicrophoneIdentity::make("Cedar", "SN1"));
    const auto h = open();
    ASSERT_EQ(write(h, {0x0D}), HID_UART_SUCCESS);
    ASSERT_EQ(write(h, {0x04, 0x09, 0x33}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->framesWritten(), (std::vector<Bytes>{{0x0D, 0x04}, {0x09, 0x33}}));
    EXPECT_EQ(mic->settings()[settings::Setting::LPF], 4);
    EXPECT_EQ(mic->settings()[settings::Setting::Volume], 0x33);
}

TEST_F(VirtualBridgeTest, ResetsRestoreDefaultsAndClearTheStatus) {
    auto mic = bus.plug(MicrophoneIdentity::make("Birch", "SN1"));
    const auto h = open();
    ASSERT_EQ(write(h, {0x09, 0x04}), HID_UART_SUCCESS);
    ASSERT_EQ(write(h, {0x02, 0x01, 0xAA, 0x55}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->pendingBytes(), 0u) << "reset of the status drops the acknowledgement";
    EXPECT_EQ(mic->settings()[settings::Setting::Volume], 0x04);
    ASSERT_EQ(write(h, {0x02, 0x00, 0xAA, 0x55}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->settings(), VirtualDsp::factoryDefaults(settings::Model::Birch));
    EXPECT_EQ(mic->resetCount(), 1);
}

TEST_F(VirtualBridgeTest, WrongUartSettingsMeanNoAnswer) {
    bus.plug(MicrophoneIdentity::make("Cedar", "SN1"));
    HID_UART_DEVICE h = kNoDevice;
    ASSERT_EQ(bus.Open(&h, 0, 0, 0), HID_UART_SUCCESS);
    ASSERT_EQ(bus.SetUartConfig(h, 115200, 3, 0, 0, 0), HID_UART_SUCCESS);
    ASSERT_EQ(write(h, {0x08, 0x00}), HID_UART_SUCCESS);
    EXPECT_TRUE(read(h).empty());
}

TEST_F(VirtualBridgeTest, RefusedChangesAreNotAppliedAndCountDown) {
    auto mic = bus.plug(MicrophoneIdentity::make("Rowan", "SN1"));
    const auto h = open();
    mic->setFaults({.rejectChanges = 2, .rejectCode = 0x05});
    ASSERT_EQ(write(h, {0x0D, 0x02}), HID_UART_SUCCESS);
    EXPECT_EQ(read(h), (Bytes{0x05}));
    EXPECT_EQ(mic->settings()[settings::Setting::LPF], 0) << "a refused change is not applied";
    ASSERT_EQ(write(h, {0x0D, 0x02}), HID_UART_SUCCESS);
    ASSERT_EQ(write(h, {0x0D, 0x02}), HID_UART_SUCCESS);
    EXPECT_EQ(read(h), (Bytes{0x05, 0x00}));
}

TEST_F(VirtualBridgeTest, SlowAnswersArriveWithinOrAfterTheTimeOut) {
    auto mic = bus.plug(MicrophoneIdentity::make("Cedar", "SN1"));
    const auto h = open();
    mic->setFaults({.replyDelay = 400ms});
    ASSERT_EQ(write(h, {0x08, 0x00}), HID_UART_SUCCESS);
    EXPECT_TRUE(read(h).empty()) << "not there within 150 ms";
    clock.advance(300ms);
    EXPECT_EQ(read(h).size(), 2u) << "arrives later and waits in the channel";

    Bytes two(2);
    std::uint32_t got = 0;
    mic->setFaults({.replyDelay = 40ms});
    ASSERT_EQ(write(h, {0x08, 0x00}), HID_UART_SUCCESS);
    const TimePoint before = clock.now();
    EXPECT_EQ(bus.Read(h, two.data(), 2, &got), HID_UART_SUCCESS);
    EXPECT_EQ(clock.now() - before, 40ms) << "a read that gets all it asked for ends early";
}

TEST_F(VirtualBridgeTest, UnplugFailsEveryCallOnTheHandle) {
    bus.plug(MicrophoneIdentity::make("Cedar", "SN1"));
    const auto h = open();
    ASSERT_TRUE(bus.unplug("SN1"));
    bool opened = true;
    EXPECT_NE(bus.IsOpened(h, &opened), HID_UART_SUCCESS);
    EXPECT_FALSE(opened);
    EXPECT_EQ(write(h, {0x08, 0x00}), HID_UART_WRITE_ERROR);
    HID_UART_STATUS status = HID_UART_SUCCESS;
    read(h, &status);
    EXPECT_EQ(status, HID_UART_READ_ERROR);
    EXPECT_NE(bus.SetTimeouts(h, 1, 1), HID_UART_SUCCESS);
    EXPECT_EQ(bus.Close(h), HID_UART_SUCCESS);
    EXPECT_EQ(bus.Close(h), HID_UART_INVALID_HANDLE) << "a closed handle stays invalid";
}

TEST_F(VirtualBridgeTest, UnplugInTheMiddleOfAnExchange) {
    auto mic = bus.plug(MicrophoneIdentity::make("Cedar", "SN1"));
    const auto h = open();
    mic->setFaults({.unplugAfterWrites = 1});
    ASSERT_EQ(write(h, {0x08, 0x00}), HID_UART_SUCCESS);
    HID_UART_STATUS status = HID_UART_SUCCESS;
    read(h, &status);
    EXPECT_EQ(status, HID_UART_READ_ERROR);
}

TEST_F(VirtualBridgeTest, EnumerationStringsAndFilter) {
    auto a = MicrophoneIdentity::make("Alder", "A1");
    auto foreign = MicrophoneIdentity::make("Other", "X1");
    foreign.vendorId = 0x046D;
    foreign.productId = 0x0A44;
    auto bridge = MicrophoneIdentity::make("CP2114 USB-Audio Bridge", "B1");
    bridge.manufacturer = "Silicon Laboratories";
    bus.plug(a);
    bus.plug(foreign);
    bus.plug(bridge);

    std::uint32_t n = 0;
    ASSERT_EQ(bus.GetNumDevices(&n, 0, 0), HID_UART_SUCCESS);
    EXPECT_EQ(n, 2u) << "vendor 0, product 0: the HID-to-UART family only";
    ASSERT_EQ(bus.GetNumDevices(&n, 0x046D, 0x0A44), HID_UART_SUCCESS);
    EXPECT_EQ(n, 1u);

    char s[HID_UART_DEVICE_STRLEN];
    ASSERT_EQ(bus.GetString(1, 0, 0, s, HID_UART_GET_SERIAL_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(s, "B1");
    ASSERT_EQ(bus.GetString(1, 0, 0, s, HID_UART_GET_MANUFACTURER_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(s, "Silicon Laboratories");
    EXPECT_EQ(bus.GetString(2, 0, 0, s, HID_UART_GET_SERIAL_STR), HID_UART_DEVICE_NOT_FOUND);
    EXPECT_EQ(bus.GetString(0, 0, 0, s, 9), HID_UART_INVALID_PARAMETER);

    const auto h = open(0);
    ASSERT_EQ(bus.GetOpenedString(h, s, HID_UART_GET_VID_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(s, "10C4");
    ASSERT_EQ(bus.GetOpenedString(h, s, HID_UART_GET_PID_STR), HID_UART_SUCCESS);
    EXPECT_STREQ(s, "EAB0");
    HID_UART_DEVICE second = kNoDevice;
    EXPECT_EQ(bus.Open(&second, 0, 0, 0), HID_UART_DEVICE_ACCESS_ERROR) << "opened once only";
    EXPECT_EQ(a.containerId, MicrophoneIdentity::make("Alder", "A1").containerId);
    EXPECT_NE(a.containerId, bridge.containerId);
}

TEST_F(VirtualBridgeTest, DetectsInterleavedExchanges) {
    auto mic = bus.plug(MicrophoneIdentity::make("Cedar", "SN1"));
    const auto h = open();
    ASSERT_EQ(write(h, {0x08, 0x00}), HID_UART_SUCCESS);
    read(h);
    EXPECT_EQ(mic->interleavedExchanges(), 0);
    ASSERT_EQ(write(h, {0x08, 0x00}), HID_UART_SUCCESS);
    ASSERT_EQ(write(h, {0x08, 0x01}), HID_UART_SUCCESS);
    EXPECT_EQ(mic->interleavedExchanges(), 1);
}

}  // namespace
}  // namespace qm::sim
