#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "service/core/command_protocol.h"
#include "sim/virtual_hid_uart.h"

namespace qm::core::testing {

// Collects log lines as "type|text".
class CapturingLog : public log::LogSink {
  public:
    void write(std::uint32_t type, std::string_view text) override {
        std::lock_guard guard(mutex_);
        lines_.push_back(std::to_string(type) + "|" + std::string(text));
    }
    std::vector<std::string> lines() const {
        std::lock_guard guard(mutex_);
        return lines_;
    }
    void clear() {
        std::lock_guard guard(mutex_);
        lines_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// A device-object stand-in: one channel to one virtual microphone, a store that can be made to
// fail, and a restart hook that counts.
class ProtocolFixture : public ::testing::Test, public ProtocolHost {
  protected:
    void SetUp() override { plugAndOpen("Larch", "SN100"); }

    void plugAndOpen(const std::string& model, const std::string& serial) {
        channel_.reset();
        mic = bus.plug(sim::MicrophoneIdentity::make(model, serial));
        hiduart::HID_UART_DEVICE h = hiduart::kNoDevice;
        ASSERT_EQ(bus.Open(&h, static_cast<std::uint32_t>(bus.plugged().size() - 1), 0, 0),
                  hiduart::HID_UART_SUCCESS);
        ASSERT_EQ(bus.SetUartConfig(h, 57600, 3, 0, 0, 0), hiduart::HID_UART_SUCCESS);
        ASSERT_EQ(bus.SetTimeouts(h, 150, 150), hiduart::HID_UART_SUCCESS);
        channel_ = std::make_shared<DeviceChannel>(bus, h);
    }
    void closeChannel() { channel_.reset(); }

    std::shared_ptr<DeviceChannel> openChannel() override { return channel_; }
    log::LogSink& deviceLog() override { return log; }
    bool storeSetting(settings::Setting s, std::uint8_t value) override {
        if (registryFails)
            return false;
        stored.emplace_back(s, value);
        return true;
    }
    void restartDevice() override { ++restarts; }

    std::vector<std::uint8_t> lastFrame() const {
        const auto frames = mic->framesWritten();
        return frames.empty() ? std::vector<std::uint8_t>{} : frames.back();
    }

    VirtualClock clock;
    sim::VirtualHidUart bus{clock};
    std::shared_ptr<sim::VirtualMicrophone> mic;
    CapturingLog log;
    ExchangeLock lock;
    CommandProtocol protocol{*this, lock, clock};
    std::vector<std::pair<settings::Setting, std::uint8_t>> stored;
    bool registryFails = false;
    int restarts = 0;

  private:
    std::shared_ptr<DeviceChannel> channel_;
};

}  // namespace qm::core::testing
