#include "sim/virtual_microphone.h"

#include <algorithm>

#include "common/text/text.h"
#include "platform/endpoints/endpoint_system.h"

namespace qm::sim {
namespace {

constexpr std::uint32_t kBaudRate = 57600;

}  // namespace

MicrophoneIdentity MicrophoneIdentity::make(std::string product, std::string serial) {
    MicrophoneIdentity id;
    id.containerId = endpoints::usbDeviceContainerId(text::format("%04X", id.vendorId),
                                                     text::format("%04X", id.productId), serial);
    id.product = std::move(product);
    id.serial = std::move(serial);
    return id;
}

VirtualMicrophone::VirtualMicrophone(MicrophoneIdentity identity, Clock& clock)
    : identity_(std::move(identity)),
      clock_(clock),
      dsp_(settings::modelFromProductName(identity_.product)) {}

settings::Model VirtualMicrophone::model() const {
    return dsp_.model();
}

bool VirtualMicrophone::consume(int& counter) {
    if (counter == FaultPlan::kForever)
        return true;
    if (counter > 0) {
        --counter;
        return true;
    }
    return false;
}

VirtualMicrophone::WriteResult VirtualMicrophone::write(const std::uint8_t* data,
                                                        std::size_t size) {
    std::lock_guard guard(mutex_);
    if (!plugged_)
        return WriteResult::Unplugged;
    if (consume(faults_.failWrites))
        return WriteResult::Failed;

    // The UART is a byte stream: frames are cut by the length their command code implies.
    partialFrame_.insert(partialFrame_.end(), data, data + size);
    std::size_t start = 0;
    while (start < partialFrame_.size()) {
        const std::size_t length = VirtualDsp::frameLength(partialFrame_[start]);
        if (partialFrame_.size() - start < length)
            break;
        std::vector<std::uint8_t> frame(
            partialFrame_.begin() + static_cast<std::ptrdiff_t>(start),
            partialFrame_.begin() + static_cast<std::ptrdiff_t>(start + length));
        start += length;
        framesWritten_.push_back(frame);
        handleFrameLocked(frame);
    }
    partialFrame_.erase(partialFrame_.begin(),
                        partialFrame_.begin() + static_cast<std::ptrdiff_t>(start));

    if (faults_.unplugAfterWrites > 0 && --faults_.unplugAfterWrites == 0) {
        faults_.unplugAfterWrites = -1;
        plugged_ = false;
    }
    return WriteResult::Written;
}

void VirtualMicrophone::handleFrameLocked(const std::vector<std::uint8_t>& frame) {
    if (awaitingRead_) {
        ++interleaved_;
    }
    if (!uartUnderstood_) {
        return;  // a UART at the wrong speed or format delivers nothing the DSP understands
    }
    const bool faultsApply = faults_.passFrames == 0;
    if (!faultsApply)
        --faults_.passFrames;
    std::optional<std::uint8_t> reject;
    const bool isChange = frame[0] >= 0x05 && frame[0] != 0x08 && frame[0] != 0x10;
    if (faultsApply && isChange && consume(faults_.rejectChanges)) {
        reject = faults_.rejectCode == 0 ? std::uint8_t{0x01} : faults_.rejectCode;
    }
    VirtualDsp::Response response = dsp_.handle(frame, reject);
    if (response.clearsChannel) {
        pending_.clear();
    }
    queueReplyLocked(std::move(response.reply), response.isStatusRequest, faultsApply);
}

void VirtualMicrophone::queueReplyLocked(std::vector<std::uint8_t> reply, bool isStatusRequest,
                                         bool faultsApply) {
    if (reply.empty() || (faultsApply && consume(faults_.noReply))) {
        return;
    }
    if (faultsApply && isStatusRequest && consume(faults_.wrongBlock)) {
        reply[0] = static_cast<std::uint8_t>(reply[0] + 0x21);
    }
    if (faultsApply && consume(faults_.garbage)) {
        for (auto& b : reply) {
            garbageSeed_ ^= garbageSeed_ << 13;
            garbageSeed_ ^= garbageSeed_ >> 17;
            garbageSeed_ ^= garbageSeed_ << 5;
            b = static_cast<std::uint8_t>(garbageSeed_ | 0x80);  // never a valid block number
        }
    }
    const TimePoint arrival = clock_.now() + faults_.replyDelay;
    for (std::uint8_t b : reply)
        pending_.push_back({b, arrival});
    awaitingRead_ = awaitingRead_ || isStatusRequest;
}

std::size_t VirtualMicrophone::take(std::uint8_t* out, std::size_t max, TimePoint at) {
    std::lock_guard guard(mutex_);
    std::size_t n = 0;
    while (n < max && !pending_.empty() && pending_.front().arrival <= at) {
        out[n++] = pending_.front().value;
        pending_.pop_front();
    }
    return n;
}

std::optional<TimePoint> VirtualMicrophone::arrivalOf(std::size_t count) const {
    std::lock_guard guard(mutex_);
    if (count == 0 || pending_.size() < count)
        return std::nullopt;
    return pending_[count - 1].arrival;
}

void VirtualMicrophone::noteRead() {
    std::lock_guard guard(mutex_);
    awaitingRead_ = false;
}

void VirtualMicrophone::configureUart(std::uint32_t baud, std::uint8_t dataBits,
                                      std::uint8_t parity, std::uint8_t stopBits,
                                      std::uint8_t flowControl) {
    std::lock_guard guard(mutex_);
    uartUnderstood_ =
        baud == kBaudRate && dataBits == 3 && parity == 0 && stopBits == 0 && flowControl == 0;
}

bool VirtualMicrophone::plugged() const {
    std::lock_guard guard(mutex_);
    return plugged_;
}

void VirtualMicrophone::setPlugged(bool plugged) {
    std::lock_guard guard(mutex_);
    plugged_ = plugged;
    if (plugged) {
        // A microphone plugged in again starts with a fresh channel.
        pending_.clear();
        partialFrame_.clear();
        awaitingRead_ = false;
        uartUnderstood_ = false;
    }
}

void VirtualMicrophone::setFaults(const FaultPlan& plan) {
    std::lock_guard guard(mutex_);
    faults_ = plan;
}

FaultPlan VirtualMicrophone::faults() const {
    std::lock_guard guard(mutex_);
    return faults_;
}

settings::DeviceSettings VirtualMicrophone::settings() const {
    std::lock_guard guard(mutex_);
    return dsp_.settings();
}

void VirtualMicrophone::setSettings(const settings::DeviceSettings& s) {
    std::lock_guard guard(mutex_);
    dsp_.setSettings(s);
}

void VirtualMicrophone::updateSettings(
    std::initializer_list<std::pair<settings::Setting, std::uint8_t>> values) {
    std::lock_guard guard(mutex_);
    settings::DeviceSettings s = dsp_.settings();
    for (const auto& [setting, value] : values)
        s[setting] = value;
    dsp_.setSettings(s);
}

VirtualDsp::HardwareVersion VirtualMicrophone::hardwareVersion() const {
    std::lock_guard guard(mutex_);
    return dsp_.hardwareVersion();
}

int VirtualMicrophone::resetCount() const {
    std::lock_guard guard(mutex_);
    return dsp_.resetCount();
}

std::vector<std::vector<std::uint8_t>> VirtualMicrophone::framesWritten() const {
    std::lock_guard guard(mutex_);
    return framesWritten_;
}

void VirtualMicrophone::clearFramesWritten() {
    std::lock_guard guard(mutex_);
    framesWritten_.clear();
}

std::size_t VirtualMicrophone::pendingBytes() const {
    std::lock_guard guard(mutex_);
    return pending_.size();
}

int VirtualMicrophone::interleavedExchanges() const {
    std::lock_guard guard(mutex_);
    return interleaved_;
}

}  // namespace qm::sim
