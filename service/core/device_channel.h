#pragma once

#include <cstdint>
#include <vector>

#include "platform/hiduart/hid_uart_api.h"

namespace qm::core {

// An open bridge channel of one microphone. The channel is closed when the last user lets go
// of it, so a channel is never closed under an exchange that still uses it.
class DeviceChannel {
  public:
    DeviceChannel(hiduart::HidUartApi& api, hiduart::HID_UART_DEVICE handle);
    ~DeviceChannel();
    DeviceChannel(const DeviceChannel&) = delete;
    DeviceChannel& operator=(const DeviceChannel&) = delete;

    hiduart::HidUartApi& api() const { return api_; }
    hiduart::HID_UART_DEVICE handle() const { return handle_; }

    hiduart::HID_UART_STATUS write(const std::vector<std::uint8_t>& frame);
    // Reads like the service always does: asks for kReplyBufferSize bytes. `reply` is resized
    // to what arrived.
    hiduart::HID_UART_STATUS read(std::vector<std::uint8_t>& reply);

    static constexpr std::uint32_t kReplyBufferSize = 1000;

  private:
    hiduart::HidUartApi& api_;
    const hiduart::HID_UART_DEVICE handle_;
};

}  // namespace qm::core
