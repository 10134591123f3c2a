#include "platform/hiduart/fake/fake_hid_transport.h"

#include <algorithm>

#include "platform/hiduart/cp2114_reports.h"
#include "platform/hiduart/hid_uart_api.h"

namespace qm::hiduart {
namespace {

class FakeHidDevice final : public HidDevice {
  public:
    explicit FakeHidDevice(std::shared_ptr<FakeHidBridge> bridge) : bridge_(std::move(bridge)) {
        bridge_->opened();
    }
    ~FakeHidDevice() override { bridge_->closed(); }
    FakeHidDevice(const FakeHidDevice&) = delete;
    FakeHidDevice& operator=(const FakeHidDevice&) = delete;

    HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                  std::chrono::milliseconds timeout) override {
        return bridge_->writeOutputReport(report, timeout);
    }
    HidIoResult readInputReport(std::span<std::uint8_t> buffer,
                                std::chrono::milliseconds timeout) override {
        return bridge_->readInputReport(buffer, timeout);
    }
    HidIoResult sendFeatureReport(std::span<const std::uint8_t> report) override {
        return bridge_->sendFeatureReport(report);
    }
    HidIoResult getFeatureReport(std::span<std::uint8_t> buffer) override {
        return bridge_->getFeatureReport(buffer);
    }

  private:
    const std::shared_ptr<FakeHidBridge> bridge_;
};

}  // namespace

FakeHidBridge::FakeHidBridge(HidDeviceInfo info, std::uint8_t partNumber, VirtualClock& clock)
    : info_(std::move(info)), partNumber_(partNumber), clock_(clock) {}

void FakeHidBridge::queueInputReport(std::vector<std::uint8_t> report, Duration delay) {
    std::lock_guard lock(mutex_);
    TimePoint arrival = clock_.now() + std::max(delay, Duration::zero());
    if (!input_.empty()) {
        arrival = std::max(arrival, input_.back().arrival);
    }
    input_.push_back({std::move(report), arrival});
}

void FakeHidBridge::queueUartBytes(std::span<const std::uint8_t> bytes, Duration delay) {
    for (std::size_t at = 0; at < bytes.size(); at += cp2114::kMaxDataPerReport) {
        const std::size_t count = std::min(bytes.size() - at, cp2114::kMaxDataPerReport);
        std::vector<std::uint8_t> report{static_cast<std::uint8_t>(count)};
        report.insert(report.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
        queueInputReport(std::move(report), delay);
    }
}

std::size_t FakeHidBridge::queuedInputReports() const {
    std::lock_guard lock(mutex_);
    return input_.size();
}

void FakeHidBridge::unplugAfter(Duration delay) {
    std::lock_guard lock(mutex_);
    unplugAt_ = clock_.now() + std::max(delay, Duration::zero());
}

bool FakeHidBridge::isPresent() const {
    std::lock_guard lock(mutex_);
    return presentLocked();
}

void FakeHidBridge::failNext(FakeHidOperation operation, HidIoStatus status, int times) {
    std::lock_guard lock(mutex_);
    failures_[operation] = {status, times};
}

void FakeHidBridge::setWriteDuration(Duration d) {
    std::lock_guard lock(mutex_);
    writeDuration_ = d;
}

std::vector<FakeHidReport> FakeHidBridge::hostReports() const {
    std::lock_guard lock(mutex_);
    return hostReports_;
}

std::vector<std::vector<std::uint8_t>> FakeHidBridge::outputReports() const {
    std::lock_guard lock(mutex_);
    std::vector<std::vector<std::uint8_t>> reports;
    for (const FakeHidReport& r : hostReports_) {
        if (r.kind == FakeHidReport::Kind::Output) {
            reports.push_back(r.bytes);
        }
    }
    return reports;
}

std::vector<std::uint8_t> FakeHidBridge::uartBytesWritten() const {
    std::vector<std::uint8_t> bytes;
    for (const std::vector<std::uint8_t>& report : outputReports()) {
        const cp2114::InputReportData data = cp2114::parseInputReport(report);
        bytes.insert(bytes.end(), data.data.begin(), data.data.end());
    }
    return bytes;
}

bool FakeHidBridge::uartEnabled() const {
    std::lock_guard lock(mutex_);
    return uartEnabled_;
}

int FakeHidBridge::openHandles() const {
    std::lock_guard lock(mutex_);
    return openHandles_;
}

void FakeHidBridge::opened() {
    std::lock_guard lock(mutex_);
    ++openHandles_;
}

void FakeHidBridge::closed() {
    std::lock_guard lock(mutex_);
    --openHandles_;
}

HidIoResult FakeHidBridge::readInputReport(std::span<std::uint8_t> buffer,
                                           std::chrono::milliseconds timeout) {
    std::lock_guard lock(mutex_);
    if (const auto failure = takeFailureLocked(FakeHidOperation::Read)) {
        return {*failure, 0};
    }
    if (!presentLocked()) {
        return {HidIoStatus::Disconnected, 0};
    }
    const TimePoint now = clock_.now();
    const TimePoint waitEnd = now + std::max(timeout, std::chrono::milliseconds(0));
    const bool reportInTime = !input_.empty() && input_.front().arrival <= waitEnd;
    const bool unplugInTime = unplugAt_ && *unplugAt_ <= waitEnd;
    if (unplugInTime && (!reportInTime || *unplugAt_ <= input_.front().arrival)) {
        clock_.advance(*unplugAt_ - now);
        return {HidIoStatus::Disconnected, 0};
    }
    if (!reportInTime) {
        clock_.advance(waitEnd - now);
        return {HidIoStatus::TimedOut, 0};
    }
    if (input_.front().arrival > now) {
        clock_.advance(input_.front().arrival - now);
    }
    const std::vector<std::uint8_t> report = std::move(input_.front().bytes);
    input_.pop_front();
    const std::size_t count = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), count, buffer.begin());
    return {HidIoStatus::Ok, count};
}

HidIoResult FakeHidBridge::writeOutputReport(std::span<const std::uint8_t> report,
                                             std::chrono::milliseconds timeout) {
    std::lock_guard lock(mutex_);
    if (const auto failure = takeFailureLocked(FakeHidOperation::Write)) {
        return {*failure, 0};
    }
    if (!presentLocked()) {
        return {HidIoStatus::Disconnected, 0};
    }
    if (writeDuration_ > timeout) {
        clock_.advance(std::max(timeout, std::chrono::milliseconds(0)));
        return {HidIoStatus::TimedOut, 0};
    }
    clock_.advance(writeDuration_);
    hostReports_.push_back({FakeHidReport::Kind::Output, {report.begin(), report.end()}});
    return {HidIoStatus::Ok, report.size()};
}

HidIoResult FakeHidBridge::sendFeatureReport(std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (const auto failure = takeFailureLocked(FakeHidOperation::SendFeature)) {
        return {*failure, 0};
    }
    if (!presentLocked()) {
        return {HidIoStatus::Disconnected, 0};
    }
    if (report.empty()) {
        return {HidIoStatus::Failed, 0};
    }
    hostReports_.push_back({FakeHidReport::Kind::SetFeature, {report.begin(), report.end()}});
    if (report[0] == cp2114::kUartEnableReport && report.size() > 1) {
        uartEnabled_ = report[1] != 0;
    } else if (report[0] == cp2114::kUartConfigReport) {
        uartConfig_.assign(report.begin(), report.end());
    }
    return {HidIoStatus::Ok, report.size()};
}

HidIoResult FakeHidBridge::getFeatureReport(std::span<std::uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    if (const auto failure = takeFailureLocked(FakeHidOperation::GetFeature)) {
        return {*failure, 0};
    }
    if (!presentLocked()) {
        return {HidIoStatus::Disconnected, 0};
    }
    if (buffer.empty()) {
        return {HidIoStatus::Failed, 0};
    }
    hostReports_.push_back({FakeHidReport::Kind::GetFeature, {buffer[0]}});
    const std::vector<std::uint8_t> answer = featureAnswerLocked(buffer[0]);
    if (answer.empty()) {
        return {HidIoStatus::Failed, 0};
    }
    const std::size_t count = std::min(answer.size(), buffer.size());
    std::copy_n(answer.begin(), count, buffer.begin());
    return {HidIoStatus::Ok, count};
}

bool FakeHidBridge::presentLocked() const {
    return !unplugAt_ || clock_.now() < *unplugAt_;
}

std::optional<HidIoStatus> FakeHidBridge::takeFailureLocked(FakeHidOperation operation) {
    const auto it = failures_.find(operation);
    if (it == failures_.end() || it->second.second <= 0) {
        return std::nullopt;
    }
    const HidIoStatus status = it->second.first;
    if (--it->second.second == 0) {
        failures_.erase(it);
    }
    if (status == HidIoStatus::Disconnected && presentLocked()) {
        unplugAt_ = clock_.now();
    }
    return status;
}

std::vector<std::uint8_t> FakeHidBridge::featureAnswerLocked(std::uint8_t id) const {
    switch (id) {
        case cp2114::kVersionInfoReport:
            return {id, partNumber_, 0x01};
        case cp2114::kUartEnableReport:
            return {id, static_cast<std::uint8_t>(uartEnabled_ ? 1 : 0)};
        case cp2114::kUartConfigReport:
            return uartConfig_;
        default:
            return {};
    }
}

std::shared_ptr<FakeHidBridge> FakeHidTransport::addDevice(HidDeviceInfo info,
                                                           std::uint8_t partNumber) {
    auto bridge = std::make_shared<FakeHidBridge>(std::move(info), partNumber, clock_);
    std::lock_guard lock(mutex_);
    bridges_.push_back(bridge);
    return bridge;
}

std::shared_ptr<FakeHidBridge> FakeHidTransport::addCp2114(int hidrawNumber, std::string serial,
                                                           std::string product) {
    return addDevice({kSiliconLabsVid, kCp2114Pid, "/dev/hidraw" + std::to_string(hidrawNumber),
                      std::move(serial), "Silicon Laboratories", std::move(product)},
                     cp2114::kPartCp2114);
}

void FakeHidTransport::refuseOpen(const std::string& path) {
    std::lock_guard lock(mutex_);
    refused_.push_back(path);
}

std::vector<HidDeviceInfo> FakeHidTransport::enumerate() {
    std::lock_guard lock(mutex_);
    std::vector<HidDeviceInfo> devices;
    for (const auto& bridge : bridges_) {
        if (bridge->isPresent()) {
            devices.push_back(bridge->info());
        }
    }
    return devices;
}

std::unique_ptr<HidDevice> FakeHidTransport::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (std::find(refused_.begin(), refused_.end(), path) != refused_.end()) {
        return nullptr;
    }
    for (const auto& bridge : bridges_) {
        if (bridge->info().path == path && bridge->isPresent()) {
            return std::make_unique<FakeHidDevice>(bridge);
        }
    }
    return nullptr;
}

}  // namespace qm::hiduart
