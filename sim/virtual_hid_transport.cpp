#include "sim/virtual_hid_transport.h"

#include <algorithm>

#include "platform/hiduart/cp2114_reports.h"

namespace qm::sim {
namespace {

using hiduart::HidIoResult;
using hiduart::HidIoStatus;
namespace cp2114 = hiduart::cp2114;

class VirtualHidDevice final : public hiduart::HidDevice {
  public:
    VirtualHidDevice(std::shared_ptr<VirtualMicrophone> microphone, Clock& clock)
        : microphone_(std::move(microphone)), clock_(clock) {}

    HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                  std::chrono::milliseconds timeout) override {
        if (!microphone_->plugged())
            return {HidIoStatus::Disconnected, 0};
        const std::size_t count = report.empty() ? 0 : report[0];
        if (count == 0 || count > cp2114::kMaxDataPerReport || report.size() < count + 1)
            return {HidIoStatus::Failed, 0};
        switch (microphone_->write(report.data() + 1, count)) {
            case VirtualMicrophone::WriteResult::Written:
                return {HidIoStatus::Ok, report.size()};
            case VirtualMicrophone::WriteResult::Failed:
                clock_.sleepFor(timeout);
                return {HidIoStatus::TimedOut, 0};
            case VirtualMicrophone::WriteResult::Unplugged:
                break;
        }
        return {HidIoStatus::Disconnected, 0};
    }

    HidIoResult readInputReport(std::span<std::uint8_t> buffer,
                                std::chrono::milliseconds timeout) override {
        if (!microphone_->plugged())
            return {HidIoStatus::Disconnected, 0};
        microphone_->noteRead();
        const std::size_t room = std::min(buffer.size() - 1, cp2114::kMaxDataPerReport);
        TimePoint at = clock_.now();
        if (const auto next = microphone_->arrivalOf(1); next && *next > at) {
            if (*next > at + timeout) {
                clock_.sleepFor(timeout);
                return {HidIoStatus::TimedOut, 0};
            }
            clock_.sleepFor(*next - at);
            at = *next;
        }
        const std::size_t count = microphone_->take(buffer.data() + 1, room, at);
        if (count == 0) {
            clock_.sleepFor(timeout);
            return {HidIoStatus::TimedOut, 0};
        }
        buffer[0] = static_cast<std::uint8_t>(count);
        return {HidIoStatus::Ok, count + 1};
    }

    HidIoResult sendFeatureReport(std::span<const std::uint8_t> report) override {
        if (!microphone_->plugged())
            return {HidIoStatus::Disconnected, 0};
        if (!report.empty() && report[0] == cp2114::kUartConfigReport && report.size() >= 9) {
            const std::uint32_t baud = (std::uint32_t{report[1]} << 24) |
                                       (std::uint32_t{report[2]} << 16) |
                                       (std::uint32_t{report[3]} << 8) | report[4];
            microphone_->configureUart(baud, report[7], report[5], report[8], report[6]);
        }
        return {HidIoStatus::Ok, report.size()};
    }

    HidIoResult getFeatureReport(std::span<std::uint8_t> buffer) override {
        if (!microphone_->plugged())
            return {HidIoStatus::Disconnected, 0};
        if (buffer.size() < 3 || buffer[0] != cp2114::kVersionInfoReport)
            return {HidIoStatus::Failed, 0};
        buffer[1] = cp2114::kPartCp2114;
        buffer[2] = 0x01;
        return {HidIoStatus::Ok, 3};
    }

  private:
    const std::shared_ptr<VirtualMicrophone> microphone_;
    Clock& clock_;
};

}  // namespace

void VirtualHidTransport::plug(std::shared_ptr<VirtualMicrophone> microphone) {
    std::lock_guard guard(mutex_);
    microphone->setPlugged(true);
    plugged_.emplace_back("/dev/virtual-hidraw/" + std::to_string(plugged_.size()),
                          std::move(microphone));
}

std::vector<hiduart::HidDeviceInfo> VirtualHidTransport::enumerate() {
    std::lock_guard guard(mutex_);
    std::vector<hiduart::HidDeviceInfo> devices;
    for (const auto& [path, microphone] : plugged_) {
        if (!microphone->plugged())
            continue;
        const MicrophoneIdentity& id = microphone->identity();
        devices.push_back(
            {id.vendorId, id.productId, path, id.serial, id.manufacturer, id.product});
    }
    return devices;
}

std::unique_ptr<hiduart::HidDevice> VirtualHidTransport::open(const std::string& path) {
    std::lock_guard guard(mutex_);
    for (const auto& [at, microphone] : plugged_) {
        if (at == path && microphone->plugged())
            return std::make_unique<VirtualHidDevice>(microphone, clock_);
    }
    return nullptr;
}

}  // namespace qm::sim
