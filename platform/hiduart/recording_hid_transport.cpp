#include "platform/hiduart/recording_hid_transport.h"

#include <algorithm>

namespace qm::hiduart {
namespace {

using Kind = RecordedEvent::Kind;

class RecordingHidDevice final : public HidDevice {
  public:
    RecordingHidDevice(std::unique_ptr<HidDevice> inner, std::shared_ptr<RecordingWriter> writer,
                       int number)
        : inner_(std::move(inner)), writer_(std::move(writer)), number_(number) {
        writer_->record(number_, Kind::Open);
    }
    ~RecordingHidDevice() override { writer_->record(number_, Kind::Close); }
    RecordingHidDevice(const RecordingHidDevice&) = delete;
    RecordingHidDevice& operator=(const RecordingHidDevice&) = delete;

    HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                  std::chrono::milliseconds timeout) override {
        return recorded(inner_->writeOutputReport(report, timeout), Kind::Out, report);
    }
    HidIoResult readInputReport(std::span<std::uint8_t> buffer,
                                std::chrono::milliseconds timeout) override {
        const HidIoResult result = inner_->readInputReport(buffer, timeout);
        return recorded(result, Kind::In, buffer.first(std::min(result.size, buffer.size())));
    }
    HidIoResult sendFeatureReport(std::span<const std::uint8_t> report) override {
        return recorded(inner_->sendFeatureReport(report), Kind::SetFeature, report);
    }
    HidIoResult getFeatureReport(std::span<std::uint8_t> buffer) override {
        const HidIoResult result = inner_->getFeatureReport(buffer);
        return recorded(result, Kind::GetFeature,
                        buffer.first(std::min(result.size, buffer.size())));
    }

  private:
    HidIoResult recorded(HidIoResult result, Kind kind, std::span<const std::uint8_t> bytes) {
        if (result.status == HidIoStatus::Ok)
            writer_->record(number_, kind, bytes);
        else if (result.status == HidIoStatus::Disconnected)
            writer_->record(number_, Kind::Gone);
        return result;
    }

    const std::unique_ptr<HidDevice> inner_;
    const std::shared_ptr<RecordingWriter> writer_;
    const int number_;
};

}  // namespace

RecordingHidTransport::RecordingHidTransport(std::shared_ptr<HidTransport> inner,
                                             std::shared_ptr<RecordingWriter> writer)
    : inner_(std::move(inner)), writer_(std::move(writer)) {}

std::vector<HidDeviceInfo> RecordingHidTransport::enumerate() {
    std::vector<HidDeviceInfo> devices = inner_->enumerate();
    std::lock_guard guard(mutex_);
    seen_ = devices;
    return devices;
}

std::unique_ptr<HidDevice> RecordingHidTransport::open(const std::string& path) {
    std::unique_ptr<HidDevice> device = inner_->open(path);
    if (!device)
        return nullptr;
    HidDeviceInfo info;
    {
        std::lock_guard guard(mutex_);
        const auto it = std::find_if(seen_.begin(), seen_.end(),
                                     [&](const HidDeviceInfo& d) { return d.path == path; });
        info = it != seen_.end() ? *it : HidDeviceInfo{0, 0, path, {}, {}, {}};
    }
    const int number = writer_->opened(info);
    return std::make_unique<RecordingHidDevice>(std::move(device), writer_, number);
}

}  // namespace qm::hiduart
