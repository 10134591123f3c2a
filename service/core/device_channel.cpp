#include "service/core/device_channel.h"

namespace qm::core {

DeviceChannel::DeviceChannel(hiduart::HidUartApi& api, hiduart::HID_UART_DEVICE handle)
    : api_(api), handle_(handle) {}

// Closing also releases the handle of a bridge that has vanished in the meantime.
DeviceChannel::~DeviceChannel() {
    api_.Close(handle_);
}

hiduart::HID_UART_STATUS DeviceChannel::write(const std::vector<std::uint8_t>& frame) {
    std::uint32_t written = 0;
    return api_.Write(handle_, frame.data(), static_cast<std::uint32_t>(frame.size()), &written);
}

hiduart::HID_UART_STATUS DeviceChannel::read(std::vector<std::uint8_t>& reply) {
    reply.assign(kReplyBufferSize, 0);
    std::uint32_t got = 0;
    const auto status = api_.Read(handle_, reply.data(), kReplyBufferSize, &got);
    reply.resize(got <= kReplyBufferSize ? got : kReplyBufferSize);
    return status;
}

}  // namespace qm::core
