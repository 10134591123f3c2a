#include "platform/hiduart/cp2114_reports.h"

#include <algorithm>

namespace qm::hiduart::cp2114 {

Report uartEnableReport(bool enable) {
    Report report{};
    report[0] = kUartEnableReport;
    report[1] = enable ? 0x01 : 0x00;
    return report;
}

Report uartConfigReport(const UartConfig& config) {
    Report report{};
    report[0] = kUartConfigReport;
    report[1] = static_cast<std::uint8_t>(config.baudRate >> 24);
    report[2] = static_cast<std::uint8_t>(config.baudRate >> 16);
    report[3] = static_cast<std::uint8_t>(config.baudRate >> 8);
    report[4] = static_cast<std::uint8_t>(config.baudRate);
    report[5] = config.parity;
    report[6] = config.flowControl;
    report[7] = config.dataBits;
    report[8] = config.stopBits;
    return report;
}

Report dataReport(std::span<const std::uint8_t> data) {
    Report report{};
    const std::size_t count = std::min(data.size(), kMaxDataPerReport);
    report[0] = static_cast<std::uint8_t>(count);
    std::copy_n(data.begin(), count, report.begin() + 1);
    return report;
}

InputReportData parseInputReport(std::span<const std::uint8_t> received) {
    if (received.empty() || received[0] == 0) {
        return {InputReportKind::Empty, {}};
    }
    const std::size_t count = received[0];
    if (count > kMaxDataPerReport) {
        return {InputReportKind::NotData, {}};
    }
    if (count > received.size() - 1) {
        return {InputReportKind::Truncated, {}};
    }
    return {InputReportKind::Data, received.subspan(1, count)};
}

}  // namespace qm::hiduart::cp2114
