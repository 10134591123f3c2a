#pragma once

#include <functional>

#include "platform/hiduart/hid_uart_api.h"
#include "support/gate.h"

namespace qm::core::testing {

using qm::testing::Gate;

// The bridge library of a test, passed through to another one, with hooks run before every
// enumeration and read and after every close: a test uses them to act at an exact point of a
// scan or an exchange.
class HookedBridges final : public hiduart::HidUartApi {
  public:
    explicit HookedBridges(hiduart::HidUartApi& inner) : inner_(inner) {}

    std::function<void()> beforeEnumeration;
    std::function<void()> beforeRead;
    std::function<void()> afterClose;

    hiduart::HID_UART_STATUS GetNumDevices(std::uint32_t* numDevices, std::uint16_t vid,
                                           std::uint16_t pid) override {
        if (beforeEnumeration)
            beforeEnumeration();
        return inner_.GetNumDevices(numDevices, vid, pid);
    }
    hiduart::HID_UART_STATUS GetString(std::uint32_t deviceNum, std::uint16_t vid,
                                       std::uint16_t pid, char* deviceString,
                                       std::uint32_t options) override {
        return inner_.GetString(deviceNum, vid, pid, deviceString, options);
    }
    hiduart::HID_UART_STATUS GetOpenedString(hiduart::HID_UART_DEVICE device, char* deviceString,
                                             std::uint32_t options) override {
        return inner_.GetOpenedString(device, deviceString, options);
    }
    hiduart::HID_UART_STATUS Open(hiduart::HID_UART_DEVICE* device, std::uint32_t deviceNum,
                                  std::uint16_t vid, std::uint16_t pid) override {
        return inner_.Open(device, deviceNum, vid, pid);
    }
    hiduart::HID_UART_STATUS Close(hiduart::HID_UART_DEVICE device) override {
        const auto status = inner_.Close(device);
        if (afterClose)
            afterClose();
        return status;
    }
    hiduart::HID_UART_STATUS IsOpened(hiduart::HID_UART_DEVICE device, bool* opened) override {
        return inner_.IsOpened(device, opened);
    }
    hiduart::HID_UART_STATUS SetUartConfig(hiduart::HID_UART_DEVICE device, std::uint32_t baud,
                                           std::uint8_t dataBits, std::uint8_t parity,
                                           std::uint8_t stopBits,
                                           std::uint8_t flowControl) override {
        return inner_.SetUartConfig(device, baud, dataBits, parity, stopBits, flowControl);
    }
    hiduart::HID_UART_STATUS SetTimeouts(hiduart::HID_UART_DEVICE device, std::uint32_t readMs,
                                         std::uint32_t writeMs) override {
        return inner_.SetTimeouts(device, readMs, writeMs);
    }
    hiduart::HID_UART_STATUS GetTimeouts(hiduart::HID_UART_DEVICE device, std::uint32_t* readMs,
                                         std::uint32_t* writeMs) override {
        return inner_.GetTimeouts(device, readMs, writeMs);
    }
    hiduart::HID_UART_STATUS Write(hiduart::HID_UART_DEVICE device, const std::uint8_t* buffer,
                                   std::uint32_t size, std::uint32_t* written) override {
        return inner_.Write(device, buffer, size, written);
    }
    hiduart::HID_UART_STATUS Read(hiduart::HID_UART_DEVICE device, std::uint8_t* buffer,
                                  std::uint32_t size, std::uint32_t* read) override {
        if (beforeRead)
            beforeRead();
        return inner_.Read(device, buffer, size, read);
    }

  private:
    hiduart::HidUartApi& inner_;
};

}  // namespace qm::core::testing
