#include "fake_device.h"

#include <chrono>
#include <set>
#include <variant>

namespace qm::ipc::testing {

using sdk::HRESULT;

FakeDevice::FakeDevice(std::string serial, std::uint8_t seed, std::string text)
    : serial_(std::move(serial)), seed_(seed), text_(std::move(text)) {}

void FakeDevice::setResult(HRESULT hr) {
    std::lock_guard guard(mutex_);
    result_ = hr;
}

void FakeDevice::setVersionUnknown() {
    std::lock_guard guard(mutex_);
    versionUnknown_ = true;
}

void FakeDevice::closeChannel() {
    std::lock_guard guard(mutex_);
    closed_ = true;
}

void FakeDevice::setStarted(bool started) {
    std::lock_guard guard(mutex_);
    started_ = started;
}

std::vector<std::string> FakeDevice::calls() const {
    std::lock_guard guard(mutex_);
    return {calls_.begin(), calls_.end()};
}

std::string FakeDevice::lastCall() const {
    std::lock_guard guard(mutex_);
    return calls_.empty() ? std::string() : calls_.back();
}

void FakeDevice::holdCalls(int count) {
    std::lock_guard guard(mutex_);
    hold_ = true;
    holdsLeft_ = count;
}

void FakeDevice::releaseCalls() {
    {
        std::lock_guard guard(mutex_);
        hold_ = false;
    }
    holdChanged_.notify_all();
}

bool FakeDevice::waitUntilHolding(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return holdChanged_.wait_for(lock, timeout, [this] { return holding_ > 0; });
}

void FakeDevice::record(std::string call) {
    std::unique_lock lock(mutex_);
    if (hold_ && holdsLeft_ != 0) {
        if (holdsLeft_ > 0) {
            --holdsLeft_;
        }
        ++holding_;
        holdChanged_.notify_all();
        holdChanged_.wait(lock, [this] { return !hold_; });
        --holding_;
    }
    if (calls_.size() == kCallLogLength) {
        calls_.pop_front();
    }
    calls_.push_back(std::move(call));
}

// The identity methods answer from the object itself; every other method is an exchange with the
// microphone.
HRESULT FakeDevice::resultOf(std::string_view method) const {
    static const std::set<std::string_view> kIdentity{
        "GetDeviceIndexHID", "GetDeviceSN",    "IsStarted",      "IsInitialized",
        "GetDeviceXML",      "GetName",        "GetVendorID",    "GetProductID",
        "GetHardwareID",     "GetHardwareVer", "GetContainerID", "SetFriendlyName",
        "GetFriendlyName",   "SetDescription", "GetDescription"};
    std::lock_guard guard(mutex_);
    if (closed_ && !kIdentity.contains(method)) {
        return sdk::E_NOINTERFACE;
    }
    if (method == "IsStarted" && sdk::SUCCEEDED(result_)) {
        return started_ ? sdk::S_OK : sdk::S_FALSE;
    }
    return result_;
}

void FakeDevice::setOuts(sdk::testing::DeviceCall& call) {
    std::lock_guard guard(mutex_);
    // A text set through SetX comes back from GetX.
    if (call.method.starts_with("Set") && call.ins.size() == 1 &&
        std::holds_alternative<std::string>(call.ins[0])) {
        stored_[std::string(call.method.substr(3))] = call.inText(0);
    }
    if (call.method == "GetHardwareVer" && versionUnknown_) {
        return;
    }
    for (std::size_t i = 0; i < call.outs.size(); ++i) {
        const auto& out = call.outs[i];
        if (auto* byte = std::get_if<unsigned char*>(&out.value)) {
            **byte = static_cast<unsigned char>(seed_ + i);
        } else if (auto* number = std::get_if<int*>(&out.value)) {
            **number = 7;
        } else {
            std::string& text = *std::get<std::string*>(out.value);
            const auto it = call.method.starts_with("Get")
                                ? stored_.find(std::string(call.method.substr(3)))
                                : stored_.end();
            if (call.method == "GetDeviceSN") {
                text = serial_;
            } else if (it != stored_.end()) {
                text = it->second;
            } else {
                text = text_ + "/" + std::string(out.name);
            }
        }
    }
}

HRESULT FakeDevice::answer(sdk::testing::DeviceCall& call) {
    if (call.method == "GetDeviceIndexHID") {
        *std::get<int*>(call.outs.at(0).value) = -1;
    }
    record(call.text({.separator = ",", .quoteStrings = true}));
    const HRESULT hr = resultOf(call.method);
    if (sdk::SUCCEEDED(hr)) {
        setOuts(call);
    }
    return hr;
}

}  // namespace qm::ipc::testing
