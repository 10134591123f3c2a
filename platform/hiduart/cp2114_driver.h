#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "common/runtime/clock.h"
#include "platform/hiduart/cp2114_channel.h"
#include "platform/hiduart/hid_transport.h"
#include "platform/hiduart/hid_uart_api.h"

namespace qm::hiduart {

// The bridge library over a HID transport, for CP2114 and CP2110 bridges.
//
// Handles are ids from a map, never reused, so a closed or made-up handle gives
// HID_UART_INVALID_HANDLE. Calls on different handles run in parallel; calls on one handle are
// serialised by the handle's own lock. Enumeration asks the transport afresh on every call;
// indexes count the bridges that the vendor and product filter selects, ordered by device path.
//
// A bridge is open on at most one handle at a time: a second Open of a bridge that is open and
// present gives HID_UART_DEVICE_ACCESS_ERROR, since two handles would each take part of the
// bridge's input. A handle whose device is gone does not block opening the bridge again.
//
// A newly opened bridge has read and write time-outs of 1000 ms. Once a transfer finds the
// device gone, IsOpened reports false and every transfer gives HID_UART_DEVICE_IO_FAILED until
// the handle is closed.
class Cp2114Driver final : public HidUartApi {
  public:
    Cp2114Driver(std::shared_ptr<HidTransport> transport, Clock& clock);
    ~Cp2114Driver() override;
    Cp2114Driver(const Cp2114Driver&) = delete;
    Cp2114Driver& operator=(const Cp2114Driver&) = delete;

    [[nodiscard]] HID_UART_STATUS GetNumDevices(std::uint32_t* numDevices, std::uint16_t vid,
                                                std::uint16_t pid) override;
    [[nodiscard]] HID_UART_STATUS GetString(std::uint32_t deviceNum, std::uint16_t vid,
                                            std::uint16_t pid, char* deviceString,
                                            std::uint32_t options) override;
    [[nodiscard]] HID_UART_STATUS GetOpenedString(HID_UART_DEVICE device, char* deviceString,
                                                  std::uint32_t options) override;
    [[nodiscard]] HID_UART_STATUS Open(HID_UART_DEVICE* device, std::uint32_t deviceNum,
                                       std::uint16_t vid, std::uint16_t pid) override;
    [[nodiscard]] HID_UART_STATUS Close(HID_UART_DEVICE device) override;
    [[nodiscard]] HID_UART_STATUS IsOpened(HID_UART_DEVICE device, bool* opened) override;
    [[nodiscard]] HID_UART_STATUS SetUartConfig(HID_UART_DEVICE device, std::uint32_t baudRate,
                                                std::uint8_t dataBits, std::uint8_t parity,
                                                std::uint8_t stopBits,
                                                std::uint8_t flowControl) override;
    [[nodiscard]] HID_UART_STATUS SetTimeouts(HID_UART_DEVICE device, std::uint32_t readTimeoutMs,
                                              std::uint32_t writeTimeoutMs) override;
    [[nodiscard]] HID_UART_STATUS GetTimeouts(HID_UART_DEVICE device, std::uint32_t* readTimeoutMs,
                                              std::uint32_t* writeTimeoutMs) override;
    [[nodiscard]] HID_UART_STATUS Write(HID_UART_DEVICE device, const std::uint8_t* buffer,
                                        std::uint32_t numBytesToWrite,
                                        std::uint32_t* numBytesWritten) override;
    [[nodiscard]] HID_UART_STATUS Read(HID_UART_DEVICE device, std::uint8_t* buffer,
                                       std::uint32_t numBytesToRead,
                                       std::uint32_t* numBytesRead) override;

    // Number of open handles.
    std::size_t openCount() const;
    // Input reports of an open handle that were dropped as malformed; 0 for an unknown handle.
    std::uint64_t droppedReports(HID_UART_DEVICE device) const;

  private:
    std::shared_ptr<Cp2114Channel> channel(HID_UART_DEVICE device) const;
    // Marks `path` as being opened; false when it is open or being opened already.
    bool reservePath(const std::string& path);

    const std::shared_ptr<HidTransport> transport_;
    Clock& clock_;
    mutable std::mutex mutex_;  // guards the members below
    std::unordered_map<HID_UART_DEVICE, std::shared_ptr<Cp2114Channel>> channels_;
    std::unordered_set<std::string> opening_;
    HID_UART_DEVICE nextHandle_ = 1;
};

}  // namespace qm::hiduart
