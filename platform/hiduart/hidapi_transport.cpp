#include "platform/hiduart/hidapi_transport.h"

#include <hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <mutex>

#include "platform/hiduart/wide_text.h"

namespace qm::hiduart {
namespace {

std::string utf8OrEmpty(const wchar_t* wide) {
    return wide ? utf8FromWide(wide) : std::string();
}

int clampedMilliseconds(std::chrono::milliseconds timeout) {
    return static_cast<int>(
        std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INT_MAX));
}

// One opened hidraw device. hidapi keeps the error text of a device with the device, so calls
// on different devices do not interfere.
class HidapiDevice final : public HidDevice {
  public:
    HidapiDevice(hid_device* device, std::string path) : device_(device), path_(std::move(path)) {}
    ~HidapiDevice() override { hid_close(device_); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    // hidraw gives no time-out for writes; the kernel bounds an interrupt-out transfer itself
    // (a few seconds), so `timeout` is not used here.
    HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                  std::chrono::milliseconds /*timeout*/) override {
        return complete(hid_write(device_, report.data(), report.size()), report.size());
    }

    HidIoResult readInputReport(std::span<std::uint8_t> buffer,
                                std::chrono::milliseconds timeout) override {
        const int count =
            hid_read_timeout(device_, buffer.data(), buffer.size(), clampedMilliseconds(timeout));
        if (count == 0) {
            return {HidIoStatus::TimedOut, 0};
        }
        return count < 0 ? failure()
                         : HidIoResult{HidIoStatus::Ok, static_cast<std::size_t>(count)};
    }

    HidIoResult sendFeatureReport(std::span<const std::uint8_t> report) override {
        return complete(hid_send_feature_report(device_, report.data(), report.size()),
                        report.size());
    }

    HidIoResult getFeatureReport(std::span<std::uint8_t> buffer) override {
        const int count = hid_get_feature_report(device_, buffer.data(), buffer.size());
        return count < 0 ? failure()
                         : HidIoResult{HidIoStatus::Ok, static_cast<std::size_t>(count)};
    }

  private:
    // A transfer that must move the whole report.
    HidIoResult complete(int count, std::size_t expected) {
        if (count < 0) {
            return failure();
        }
        return static_cast<std::size_t>(count) == expected
                   ? HidIoResult{HidIoStatus::Ok, expected}
                   : HidIoResult{HidIoStatus::Failed, static_cast<std::size_t>(count)};
    }

    // An unplugged device fails its transfers with ENODEV, or with a poll hang-up that leaves
    // errno alone; in both cases its device node is gone.
    HidIoResult failure() const {
        const int error = errno;
        if (error == ENODEV || ::access(path_.c_str(), F_OK) != 0) {
            return {HidIoStatus::Disconnected, 0};
        }
        return {HidIoStatus::Failed, 0};
    }

    hid_device* const device_;
    const std::string path_;
};

class HidapiTransport final : public HidTransport {
  public:
    HidapiTransport() { hid_init(); }

    std::vector<HidDeviceInfo> enumerate() override {
        std::lock_guard lock(mutex_);
        std::vector<HidDeviceInfo> devices;
        hid_device_info* list = hid_enumerate(0, 0);
        for (const hid_device_info* d = list; d != nullptr; d = d->next) {
            devices.push_back({d->vendor_id, d->product_id, d->path ? d->path : "",
                               utf8OrEmpty(d->serial_number), utf8OrEmpty(d->manufacturer_string),
                               utf8OrEmpty(d->product_string)});
        }
        hid_free_enumeration(list);
        return devices;
    }

    std::unique_ptr<HidDevice> open(const std::string& path) override {
        std::lock_guard lock(mutex_);
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr) {
            return nullptr;
        }
        return std::make_unique<HidapiDevice>(device, path);
    }

  private:
    // hidapi keeps the error text of enumeration and open in one process-wide place.
    static inline std::mutex mutex_;
};

}  // namespace

std::shared_ptr<HidTransport> createHidapiTransport() {
    return std::make_shared<HidapiTransport>();
}

}  // namespace qm::hiduart
