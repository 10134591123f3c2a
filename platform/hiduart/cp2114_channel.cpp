#include "platform/hiduart/cp2114_channel.h"

#include <algorithm>
#include <chrono>

namespace qm::hiduart {
namespace {

using std::chrono::milliseconds;

// Time left until `deadline`, rounded up to whole milliseconds so that a wait never ends before
// the deadline, and never negative.
milliseconds timeLeft(const Clock& clock, TimePoint deadline) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - clock.now());
    return std::max(left, milliseconds(0));
}

}  // namespace

Cp2114Channel::Cp2114Channel(std::unique_ptr<HidDevice> device, HidDeviceInfo info, Clock& clock)
    : clock_(clock), info_(std::move(info)), device_(std::move(device)) {}

HID_UART_STATUS Cp2114Channel::start() {
    std::lock_guard lock(mutex_);
    if (const HID_UART_STATUS status = checkUsable(); status != HID_UART_SUCCESS) {
        return status;
    }
    cp2114::Report version{};
    version[0] = cp2114::kVersionInfoReport;
    const HidIoResult got = device_->getFeatureReport(version);
    if (got.status != HidIoStatus::Ok) {
        return failureStatus(got.status, HID_UART_DEVICE_IO_FAILED);
    }
    if (got.size < 3 || version[0] != cp2114::kVersionInfoReport) {
        return HID_UART_DEVICE_IO_FAILED;
    }
    if (version[1] != cp2114::kPartCp2110 && version[1] != cp2114::kPartCp2114) {
        return HID_UART_DEVICE_NOT_SUPPORTED;
    }
    const HidIoResult sent = device_->sendFeatureReport(cp2114::uartEnableReport(true));
    if (sent.status != HidIoStatus::Ok) {
        return failureStatus(sent.status, HID_UART_DEVICE_IO_FAILED);
    }
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Channel::setUartConfig(const cp2114::UartConfig& config) {
    std::lock_guard lock(mutex_);
    if (const HID_UART_STATUS status = checkUsable(); status != HID_UART_SUCCESS) {
        return status;
    }
    const HidIoResult sent = device_->sendFeatureReport(cp2114::uartConfigReport(config));
    if (sent.status != HidIoStatus::Ok) {
        return failureStatus(sent.status, HID_UART_DEVICE_IO_FAILED);
    }
    return HID_UART_SUCCESS;
}

void Cp2114Channel::setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    readTimeoutMs_.store(readTimeoutMs);
    writeTimeoutMs_.store(writeTimeoutMs);
}

HID_UART_STATUS Cp2114Channel::write(std::span<const std::uint8_t> data, std::uint32_t& written) {
    written = 0;
    std::lock_guard lock(mutex_);
    if (const HID_UART_STATUS status = checkUsable(); status != HID_UART_SUCCESS) {
        return status;
    }
    const TimePoint deadline = clock_.now() + milliseconds(writeTimeoutMs_.load());
    std::size_t sent = 0;
    while (sent < data.size()) {
        if (sent > 0 && clock_.now() >= deadline) {
            return HID_UART_WRITE_TIMED_OUT;
        }
        const std::size_t count = std::min(data.size() - sent, cp2114::kMaxDataPerReport);
        const HidIoResult result = device_->writeOutputReport(
            cp2114::dataReport(data.subspan(sent, count)), timeLeft(clock_, deadline));
        if (result.status != HidIoStatus::Ok) {
            return failureStatus(result.status, result.status == HidIoStatus::TimedOut
                                                    ? HID_UART_WRITE_TIMED_OUT
                                                    : HID_UART_WRITE_ERROR);
        }
        sent += count;
        written = static_cast<std::uint32_t>(sent);
    }
    return HID_UART_SUCCESS;
}

HID_UART_STATUS Cp2114Channel::read(std::span<std::uint8_t> buffer, std::uint32_t& read) {
    read = 0;
    std::lock_guard lock(mutex_);
    if (const HID_UART_STATUS status = checkUsable(); status != HID_UART_SUCCESS) {
        return status;
    }
    const TimePoint deadline = clock_.now() + milliseconds(readTimeoutMs_.load());
    cp2114::Report received{};
    // At least one report is asked for unless the kept bytes already fill the buffer, so a zero
    // time-out still takes a report that is waiting. Every pass checks the clock, so a device
    // that streams empty or malformed reports cannot hold the read past its time-out.
    while (pending_.size() < buffer.size()) {
        const HidIoResult result = device_->readInputReport(received, timeLeft(clock_, deadline));
        if (result.status == HidIoStatus::Ok) {
            takeInputReport(std::span<const std::uint8_t>(received).first(
                std::min(result.size, received.size())));
        } else if (result.status != HidIoStatus::TimedOut) {
            return failureStatus(result.status, HID_UART_READ_ERROR);
        }
        if (clock_.now() >= deadline) {
            break;
        }
    }
    const std::size_t count = std::min(pending_.size(), buffer.size());
    std::copy_n(pending_.begin(), count, buffer.begin());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    read = static_cast<std::uint32_t>(count);
    return count == buffer.size() ? HID_UART_SUCCESS : HID_UART_READ_TIMED_OUT;
}

void Cp2114Channel::close() {
    std::lock_guard lock(mutex_);
    device_.reset();
    pending_.clear();
    connected_.store(false);
}

HID_UART_STATUS Cp2114Channel::checkUsable() const {
    if (!device_) {
        return HID_UART_INVALID_HANDLE;
    }
    return connected_.load() ? HID_UART_SUCCESS : HID_UART_DEVICE_IO_FAILED;
}

HID_UART_STATUS Cp2114Channel::failureStatus(HidIoStatus status, HID_UART_STATUS otherwise) {
    if (status == HidIoStatus::Disconnected) {
        connected_.store(false);
        return HID_UART_DEVICE_IO_FAILED;
    }
    return otherwise;
}

void Cp2114Channel::takeInputReport(std::span<const std::uint8_t> received) {
    const cp2114::InputReportData report = cp2114::parseInputReport(received);
    switch (report.kind) {
        case cp2114::InputReportKind::Data:
            pending_.insert(pending_.end(), report.data.begin(), report.data.end());
            break;
        case cp2114::InputReportKind::NotData:
        case cp2114::InputReportKind::Truncated:
            droppedReports_.fetch_add(1);
            break;
        case cp2114::InputReportKind::Empty:
            break;
    }
}

}  // namespace qm::hiduart
