#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "platform/hiduart/hid_transport.h"

// A HID transport made of scripted bridges, for tests of the bridge driver and of code above it.
// Time is a VirtualClock: a read that waits for a report that comes later moves the clock to its
// arrival, and a read for a report that never comes moves the clock by the whole time-out, so
// nothing waits real time.
namespace qm::hiduart {

enum class FakeHidOperation { Read, Write, SendFeature, GetFeature };

// A report the host sent, or the id of a feature report it asked for.
struct FakeHidReport {
    enum class Kind { Output, SetFeature, GetFeature };
    Kind kind = Kind::Output;
    std::vector<std::uint8_t> bytes;  // for GetFeature: the id alone

    friend bool operator==(const FakeHidReport&, const FakeHidReport&) = default;
};

// One scripted device. Safe to drive from the test thread while the driver uses it.
class FakeHidBridge {
  public:
    FakeHidBridge(HidDeviceInfo info, std::uint8_t partNumber, VirtualClock& clock);

    const HidDeviceInfo& info() const { return info_; }

    // Queues an input report exactly as given (id byte first; it may be malformed). It arrives
    // `delay` after now, and never before the report queued ahead of it.
    void queueInputReport(std::vector<std::uint8_t> report, Duration delay = Duration::zero());
    // Queues UART bytes as well-formed data reports of up to 63 bytes, all arriving together.
    void queueUartBytes(std::span<const std::uint8_t> bytes, Duration delay = Duration::zero());
    std::size_t queuedInputReports() const;

    // The device leaves now, or `delay` from now: transfers then give Disconnected and the
    // transport no longer lists it.
    void unplug() { unplugAfter(Duration::zero()); }
    void unplugAfter(Duration delay);
    bool isPresent() const;

    // The next `times` transfers of the kind give `status` (Disconnected also unplugs).
    void failNext(FakeHidOperation operation, HidIoStatus status, int times = 1);
    // Each output report takes this long to be accepted; longer than the caller's time-out, it
    // times out after the time-out.
    void setWriteDuration(Duration d);

    // Everything the host sent or asked for, in order; only reports the device accepted.
    std::vector<FakeHidReport> hostReports() const;
    std::vector<std::vector<std::uint8_t>> outputReports() const;
    // The UART bytes of the well-formed output reports, joined.
    std::vector<std::uint8_t> uartBytesWritten() const;
    bool uartEnabled() const;
    int openHandles() const;

    // Used by the fake transport's devices.
    HidIoResult readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout);
    HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                  std::chrono::milliseconds timeout);
    HidIoResult sendFeatureReport(std::span<const std::uint8_t> report);
    HidIoResult getFeatureReport(std::span<std::uint8_t> buffer);
    void opened();
    void closed();

  private:
    struct QueuedReport {
        std::vector<std::uint8_t> bytes;
        TimePoint arrival;
    };

    bool presentLocked() const;
    std::optional<HidIoStatus> takeFailureLocked(FakeHidOperation operation);
    std::vector<std::uint8_t> featureAnswerLocked(std::uint8_t id) const;

    const HidDeviceInfo info_;
    const std::uint8_t partNumber_;
    VirtualClock& clock_;

    mutable std::mutex mutex_;
    std::deque<QueuedReport> input_;
    std::optional<TimePoint> unplugAt_;
    std::map<FakeHidOperation, std::pair<HidIoStatus, int>> failures_;
    Duration writeDuration_ = Duration::zero();
    std::vector<FakeHidReport> hostReports_;
    bool uartEnabled_ = false;
    std::vector<std::uint8_t> uartConfig_;
    int openHandles_ = 0;
};

class FakeHidTransport final : public HidTransport {
  public:
    explicit FakeHidTransport(VirtualClock& clock) : clock_(clock) {}

    // Adds a device; `partNumber` is what its version report gives (0x0E CP2114, 0x0A CP2110).
    std::shared_ptr<FakeHidBridge> addDevice(HidDeviceInfo info, std::uint8_t partNumber);
    // A CP2114 with the chip maker's ids at "/dev/hidraw<n>".
    std::shared_ptr<FakeHidBridge> addCp2114(int hidrawNumber, std::string serial,
                                             std::string product = "CP2114 USB-Audio Bridge");
    // Makes opening `path` fail (busy or no permission).
    void refuseOpen(const std::string& path);

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;

  private:
    VirtualClock& clock_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<FakeHidBridge>> bridges_;
    std::vector<std::string> refused_;
};

}  // namespace qm::hiduart
