#include "sim/replay_hid_transport.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace qm::sim {

using hiduart::HidIoResult;
using hiduart::HidIoStatus;
using Event = hiduart::RecordedEvent;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A report as the recording keeps it: without its trailing zero bytes.
Bytes trimmed(std::span<const std::uint8_t> report) {
    std::size_t length = report.size();
    while (length > 1 && report[length - 1] == 0)
        --length;
    return Bytes(report.begin(), report.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

struct ReplayHidTransport::Script {
    // An output report of the recording with what followed it.
    struct Exchange {
        Bytes out;
        std::vector<std::pair<Duration, Bytes>> answers;  // input reports, after their delays
        std::optional<Duration> gone;                     // the device went, after this delay
    };

    std::vector<Exchange> exchanges;
    std::map<std::uint8_t, Bytes> features;  // feature reports given, by id (the first one)

    std::mutex mutex;
    std::size_t cursor = 0;
    std::deque<std::pair<TimePoint, Bytes>> pending;  // answers on their way, by arrival
    std::optional<TimePoint> goneAt;

    const Exchange* find(const Bytes& report) {
        for (std::size_t pass = 0; pass < 2; ++pass) {
            const std::size_t from = pass == 0 ? cursor : 0;
            for (std::size_t i = from; i < exchanges.size(); ++i) {
                if (exchanges[i].out == report) {
                    cursor = i + 1;
                    return &exchanges[i];
                }
            }
        }
        return nullptr;
    }

    bool isGone(TimePoint now) const { return goneAt && *goneAt <= now; }
};

namespace {

class ReplayHidDevice final : public hiduart::HidDevice {
  public:
    ReplayHidDevice(std::shared_ptr<ReplayHidTransport::Script> script, Clock& clock)
        : script_(std::move(script)), clock_(clock) {}

    HidIoResult writeOutputReport(std::span<const std::uint8_t> report,
                                  std::chrono::milliseconds /*timeout*/) override {
        std::lock_guard guard(script_->mutex);
        const TimePoint now = clock_.now();
        if (script_->isGone(now))
            return {HidIoStatus::Disconnected, 0};
        if (const auto* exchange = script_->find(trimmed(report))) {
            for (const auto& [delay, bytes] : exchange->answers)
                script_->pending.emplace_back(now + delay, bytes);
            if (exchange->gone)
                script_->goneAt = now + *exchange->gone;
        }
        return {HidIoStatus::Ok, report.size()};
    }

    HidIoResult readInputReport(std::span<std::uint8_t> buffer,
                                std::chrono::milliseconds timeout) override {
        std::unique_lock lock(script_->mutex);
        const TimePoint now = clock_.now();
        if (script_->isGone(now))
            return {HidIoStatus::Disconnected, 0};
        const TimePoint deadline = now + timeout;
        TimePoint until = deadline;
        if (!script_->pending.empty())
            until = std::min(deadline, std::max(now, script_->pending.front().first));
        if (script_->goneAt)
            until = std::min(until, std::max(now, *script_->goneAt));
        lock.unlock();
        if (until > now)
            clock_.sleepFor(until - now);
        lock.lock();
        if (script_->isGone(until))
            return {HidIoStatus::Disconnected, 0};
        if (script_->pending.empty() || script_->pending.front().first > until)
            return {HidIoStatus::TimedOut, 0};
        const Bytes report = std::move(script_->pending.front().second);
        script_->pending.pop_front();
        std::fill(buffer.begin(), buffer.end(), 0);
        const std::size_t count = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), count, buffer.begin());
        return {HidIoStatus::Ok, buffer.size()};
    }

    HidIoResult sendFeatureReport(std::span<const std::uint8_t> report) override {
        std::lock_guard guard(script_->mutex);
        if (script_->isGone(clock_.now()))
            return {HidIoStatus::Disconnected, 0};
        return {HidIoStatus::Ok, report.size()};
    }

    HidIoResult getFeatureReport(std::span<std::uint8_t> buffer) override {
        std::lock_guard guard(script_->mutex);
        if (script_->isGone(clock_.now()))
            return {HidIoStatus::Disconnected, 0};
        const auto it =
            buffer.empty() ? script_->features.end() : script_->features.find(buffer[0]);
        if (it == script_->features.end())
            return {HidIoStatus::Failed, 0};
        std::fill(buffer.begin(), buffer.end(), 0);
        const std::size_t count = std::min(it->second.size(), buffer.size());
        std::copy_n(it->second.begin(), count, buffer.begin());
        return {HidIoStatus::Ok, count};
    }

  private:
    const std::shared_ptr<ReplayHidTransport::Script> script_;
    Clock& clock_;
};

}  // namespace

ReplayHidTransport::ReplayHidTransport(const hiduart::Recording& recording, Clock& clock)
    : clock_(clock) {
    std::map<int, std::string> pathOf;
    for (const hiduart::RecordedDevice& device : recording.devices) {
        pathOf[device.number] = device.info.path;
        if (!scripts_.contains(device.info.path)) {
            scripts_[device.info.path] = std::make_shared<Script>();
            devices_.push_back(device.info);
        }
    }
    // Each output report takes what follows it on the same device, up to that device's next
    // output report.
    std::map<std::string, std::optional<Duration>> lastOut;  // time of the last output report
    for (const Event& event : recording.events) {
        const auto path = pathOf.find(event.device);
        if (path == pathOf.end())
            continue;
        Script& script = *scripts_[path->second];
        std::optional<Duration>& outAt = lastOut[path->second];
        switch (event.kind) {
            case Event::Kind::Out:
                script.exchanges.push_back({trimmed(event.bytes), {}, std::nullopt});
                outAt = event.at;
                break;
            case Event::Kind::In:
                if (outAt)
                    script.exchanges.back().answers.emplace_back(event.at - *outAt, event.bytes);
                break;
            case Event::Kind::Gone:
                if (outAt && !script.exchanges.back().gone)
                    script.exchanges.back().gone = event.at - *outAt;
                break;
            case Event::Kind::GetFeature:
                if (!event.bytes.empty())
                    script.features.emplace(event.bytes[0], event.bytes);
                break;
            case Event::Kind::Open:
            case Event::Kind::Close:
                outAt.reset();  // nothing carries over from one open to the next
                break;
            case Event::Kind::SetFeature:
                break;
        }
    }
}

std::vector<hiduart::HidDeviceInfo> ReplayHidTransport::enumerate() {
    std::vector<hiduart::HidDeviceInfo> present;
    for (const hiduart::HidDeviceInfo& info : devices_) {
        Script& script = *scripts_.at(info.path);
        std::lock_guard guard(script.mutex);
        if (!script.isGone(clock_.now()))
            present.push_back(info);
    }
    return present;
}

std::unique_ptr<hiduart::HidDevice> ReplayHidTransport::open(const std::string& path) {
    const auto it = scripts_.find(path);
    if (it == scripts_.end())
        return nullptr;
    {
        std::lock_guard guard(it->second->mutex);
        if (it->second->isGone(clock_.now()))
            return nullptr;
    }
    return std::make_unique<ReplayHidDevice>(it->second, clock_);
}

}  // namespace qm::sim
