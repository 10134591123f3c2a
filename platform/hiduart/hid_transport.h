#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The HID layer under the bridge driver: enumeration of HID devices and the four kinds of
// transfer a CP2110/CP2114 needs. The Linux implementation sits on hidapi (hidraw); tests use
// the fake in platform/hiduart/fake.
namespace qm::hiduart {

// One HID interface as the system lists it. Strings are UTF-8; missing ones are empty.
struct HidDeviceInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;  // what HidTransport::open takes, e.g. "/dev/hidraw3"
    std::string serialNumber;
    std::string manufacturer;
    std::string product;
};

enum class HidIoStatus {
    Ok,
    TimedOut,      // nothing moved within the time-out
    Failed,        // the transfer failed; the device may still be there
    Disconnected,  // the device is gone; every further transfer fails
};

struct [[nodiscard]] HidIoResult {
    HidIoStatus status = HidIoStatus::Failed;
    std::size_t size = 0;  // bytes moved when Ok, report id byte included
};

// An opened HID device. Every report starts with its report id. Destroying the object closes
// the device. One thread at a time uses a given device.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // Sends an interrupt-out report. `timeout` bounds how long the call may wait for the device.
    virtual HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                          std::chrono::milliseconds timeout) = 0;
    // Waits up to `timeout` for the next interrupt-in report and copies it (truncated to the
    // buffer) into `buffer`; `size` is the number of bytes stored.
    virtual HidIoResult readInputReport(std::span<std::uint8_t> buffer,
                                        std::chrono::milliseconds timeout) = 0;
    virtual HidIoResult sendFeatureReport(std::span<const std::uint8_t> report) = 0;
    // `buffer[0]` holds the report id on entry; on return the buffer holds the report.
    virtual HidIoResult getFeatureReport(std::span<std::uint8_t> buffer) = 0;
};

// The HID devices of the machine. Safe to call from several threads.
class HidTransport {
  public:
    virtual ~HidTransport() = default;

    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    // Opens the device at `path`; nothing when it is missing, busy or not accessible.
    virtual std::unique_ptr<HidDevice> open(const std::string& path) = 0;
};

}  // namespace qm::hiduart
