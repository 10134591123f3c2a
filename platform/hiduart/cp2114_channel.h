#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>

#include "common/runtime/clock.h"
#include "platform/hiduart/cp2114_reports.h"
#include "platform/hiduart/hid_transport.h"
#include "platform/hiduart/hid_uart_api.h"

namespace qm::hiduart {

// One opened CP2110/CP2114: its HID device, its time-outs, and the UART bytes that arrived but
// were not yet read. Its calls may come from several threads: transfers are serialised by one
// lock, while the time-outs and the connected flag can be read at any time.
//
// Time-outs are measured on the given clock; the HID device is asked to wait only for the time
// that is left, so with a fake device on a virtual clock nothing waits real time.
class Cp2114Channel {
  public:
    Cp2114Channel(std::unique_ptr<HidDevice> device, HidDeviceInfo info, Clock& clock);
    Cp2114Channel(const Cp2114Channel&) = delete;
    Cp2114Channel& operator=(const Cp2114Channel&) = delete;

    // Checks that the device is a CP2110 or CP2114 (version report) and enables its UART, as
    // the chip maker's library does on open.
    [[nodiscard]] HID_UART_STATUS start();

    const HidDeviceInfo& info() const { return info_; }
    // False once the device was found gone (or the channel closed).
    bool isConnected() const { return connected_.load(); }

    // Sends the configuration; the codes must already be valid.
    [[nodiscard]] HID_UART_STATUS setUartConfig(const cp2114::UartConfig& config);

    void setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
    std::uint32_t readTimeoutMs() const { return readTimeoutMs_.load(); }
    std::uint32_t writeTimeoutMs() const { return writeTimeoutMs_.load(); }

    // Sends `data` as data reports of at most 63 bytes. Every report is offered while the write
    // time-out has not passed; the first is always offered, so a write always makes progress.
    [[nodiscard]] HID_UART_STATUS write(std::span<const std::uint8_t> data, std::uint32_t& written);

    // Fills `buffer` from the bytes kept from earlier reports and from new reports until it is
    // full or the read time-out passed (HID_UART_READ_TIMED_OUT, with what arrived at the start
    // of `buffer`). Bytes of a report beyond the buffer are kept for the next read. When the
    // device fails, nothing is handed out and the bytes received so far stay queued.
    [[nodiscard]] HID_UART_STATUS read(std::span<std::uint8_t> buffer, std::uint32_t& read);

    // Closes the HID device; every later transfer gives HID_UART_INVALID_HANDLE.
    void close();

    // Counts of input reports dropped as malformed (id above 63 or shorter than announced).
    std::uint64_t droppedReports() const { return droppedReports_.load(); }

  private:
    [[nodiscard]] HID_UART_STATUS checkUsable() const;
    [[nodiscard]] HID_UART_STATUS failureStatus(HidIoStatus status, HID_UART_STATUS otherwise);
    void takeInputReport(std::span<const std::uint8_t> received);

    Clock& clock_;
    const HidDeviceInfo info_;
    std::atomic<bool> connected_{true};
    std::atomic<std::uint32_t> readTimeoutMs_{HID_UART_DEFAULT_READ_TIMEOUT_MS};
    std::atomic<std::uint32_t> writeTimeoutMs_{HID_UART_DEFAULT_WRITE_TIMEOUT_MS};
    std::atomic<std::uint64_t> droppedReports_{0};

    std::mutex mutex_;  // guards device_ and pending_
    std::unique_ptr<HidDevice> device_;
    std::deque<std::uint8_t> pending_;
};

}  // namespace qm::hiduart
