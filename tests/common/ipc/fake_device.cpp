#include "fake_device.h"

#include <chrono>

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

std::string FakeDevice::record(const char* name, std::initializer_list<std::string> arguments) {
    std::string call = std::string(name) + "(";
    bool first = true;
    for (const auto& argument : arguments) {
        if (!first) {
            call += ",";
        }
        call += argument;
        first = false;
    }
    call += ")";
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
    calls_.push_back(call);
    return call;
}

HRESULT FakeDevice::identity(const std::string& /*call*/) {
    std::lock_guard guard(mutex_);
    return result_;
}

HRESULT FakeDevice::exchange(const std::string& /*call*/) {
    std::lock_guard guard(mutex_);
    return closed_ ? sdk::E_NOINTERFACE : result_;
}

unsigned char FakeDevice::byteValue(int position) const {
    return static_cast<unsigned char>(seed_ + position);
}

std::string FakeDevice::text(const char* parameter) const {
    return text_ + "/" + parameter;
}

std::string FakeDevice::stored(const std::string& key) const {
    std::lock_guard guard(mutex_);
    const auto it = stored_.find(key);
    return it != stored_.end() ? it->second : text(key.c_str());
}

void FakeDevice::store(const std::string& key, const std::string& value) {
    std::lock_guard guard(mutex_);
    stored_[key] = value;
}

std::string FakeDevice::describe(unsigned char value) {
    return std::to_string(static_cast<int>(value));
}

std::string FakeDevice::describe(int value) {
    return std::to_string(value);
}

std::string FakeDevice::describe(const std::string& value) {
    return "\"" + value + "\"";
}

HRESULT FakeDevice::GetDeviceIndexHID(int& nDeviceIndex) {
    nDeviceIndex = -1;
    const HRESULT hr = identity(record("GetDeviceIndexHID"));
    if (sdk::SUCCEEDED(hr)) {
        nDeviceIndex = 7;
    }
    return hr;
}

HRESULT FakeDevice::GetDeviceSN(std::string& bstrDeviceSN) {
    const HRESULT hr = identity(record("GetDeviceSN"));
    if (sdk::SUCCEEDED(hr)) {
        bstrDeviceSN = serial_;
    }
    return hr;
}

HRESULT FakeDevice::IsStarted() {
    const HRESULT hr = identity(record("IsStarted"));
    if (sdk::FAILED(hr)) {
        return hr;
    }
    std::lock_guard guard(mutex_);
    return started_ ? sdk::S_OK : sdk::S_FALSE;
}

HRESULT FakeDevice::IsInitialized() {
    const HRESULT hr = identity(record("IsInitialized"));
    return hr;
}

HRESULT FakeDevice::GetDeviceXML(std::string& bstrXML) {
    const HRESULT hr = identity(record("GetDeviceXML"));
    if (sdk::SUCCEEDED(hr)) {
        bstrXML = text("bstrXML");
    }
    return hr;
}

HRESULT FakeDevice::GetName(std::string& bstrName) {
    const HRESULT hr = identity(record("GetName"));
    if (sdk::SUCCEEDED(hr)) {
        bstrName = text("bstrName");
    }
    return hr;
}

HRESULT FakeDevice::GetVendorID(std::string& bstrVendorID) {
    const HRESULT hr = identity(record("GetVendorID"));
    if (sdk::SUCCEEDED(hr)) {
        bstrVendorID = text("bstrVendorID");
    }
    return hr;
}

HRESULT FakeDevice::GetProductID(std::string& bstrProductID) {
    const HRESULT hr = identity(record("GetProductID"));
    if (sdk::SUCCEEDED(hr)) {
        bstrProductID = text("bstrProductID");
    }
    return hr;
}

HRESULT FakeDevice::GetHardwareID(std::string& bstrHardwareID) {
    const HRESULT hr = identity(record("GetHardwareID"));
    if (sdk::SUCCEEDED(hr)) {
        bstrHardwareID = text("bstrHardwareID");
    }
    return hr;
}

HRESULT FakeDevice::GetHardwareVer(std::string& bstrApiVer, std::string& bstrFwVer) {
    const HRESULT hr = identity(record("GetHardwareVer"));
    bool unknown = false;
    {
        std::lock_guard guard(mutex_);
        unknown = versionUnknown_;
    }
    if (sdk::SUCCEEDED(hr) && !unknown) {
        bstrApiVer = text("bstrApiVer");
        bstrFwVer = text("bstrFwVer");
    }
    return hr;
}

HRESULT FakeDevice::GetContainerID(std::string& bstrContainerID) {
    const HRESULT hr = identity(record("GetContainerID"));
    if (sdk::SUCCEEDED(hr)) {
        bstrContainerID = text("bstrContainerID");
    }
    return hr;
}

HRESULT FakeDevice::SetFriendlyName(const std::string& bstrFriendlyName) {
    const HRESULT hr = identity(record("SetFriendlyName", {describe(bstrFriendlyName)}));
    if (sdk::SUCCEEDED(hr)) {
        store("friendly", bstrFriendlyName);
    }
    return hr;
}

HRESULT FakeDevice::GetFriendlyName(std::string& bstrFriendlyName) {
    const HRESULT hr = identity(record("GetFriendlyName"));
    if (sdk::SUCCEEDED(hr)) {
        bstrFriendlyName = stored("friendly");
    }
    return hr;
}

HRESULT FakeDevice::SetDescription(const std::string& bstrDescription) {
    const HRESULT hr = identity(record("SetDescription", {describe(bstrDescription)}));
    if (sdk::SUCCEEDED(hr)) {
        store("description", bstrDescription);
    }
    return hr;
}

HRESULT FakeDevice::GetDescription(std::string& bstrDescription) {
    const HRESULT hr = identity(record("GetDescription"));
    if (sdk::SUCCEEDED(hr)) {
        bstrDescription = stored("description");
    }
    return hr;
}

HRESULT FakeDevice::ResetDefault() {
    const HRESULT hr = exchange(record("ResetDefault"));
    return hr;
}

HRESULT FakeDevice::ResetStatus() {
    const HRESULT hr = exchange(record("ResetStatus"));
    return hr;
}

HRESULT FakeDevice::ResetWatchDog() {
    const HRESULT hr = exchange(record("ResetWatchDog"));
    return hr;
}

HRESULT FakeDevice::GetLastStatus() {
    const HRESULT hr = exchange(record("GetLastStatus"));
    return hr;
}

HRESULT FakeDevice::GetStatusDSP(unsigned char& pbVolume) {
    const HRESULT hr = exchange(record("GetStatusDSP"));
    if (sdk::SUCCEEDED(hr)) {
        pbVolume = byteValue(0);
    }
    return hr;
}

HRESULT FakeDevice::GetStatusALC(unsigned char& pbRecovery, unsigned char& pbMode,
                                 unsigned char& pbRefVal, unsigned char& pbVolume) {
    const HRESULT hr = exchange(record("GetStatusALC"));
    if (sdk::SUCCEEDED(hr)) {
        pbRecovery = byteValue(0);
        pbMode = byteValue(1);
        pbRefVal = byteValue(2);
        pbVolume = byteValue(3);
    }
    return hr;
}

HRESULT FakeDevice::GetStatusHPF_LPF(unsigned char& pbHPF_1, unsigned char& pbHPF_2,
                                     unsigned char& pbLPF) {
    const HRESULT hr = exchange(record("GetStatusHPF_LPF"));
    if (sdk::SUCCEEDED(hr)) {
        pbHPF_1 = byteValue(0);
        pbHPF_2 = byteValue(1);
        pbLPF = byteValue(2);
    }
    return hr;
}

HRESULT FakeDevice::GetStatusEQ_NOTCH_GAIN(unsigned char& pbNOTCH, unsigned char& pbEQ_1_GAIN,
                                           unsigned char& pbEQ_2_GAIN, unsigned char& pbEQ_3_GAIN,
                                           unsigned char& pbEQ_4_GAIN, unsigned char& pbEQ_5_GAIN) {
    const HRESULT hr = exchange(record("GetStatusEQ_NOTCH_GAIN"));
    if (sdk::SUCCEEDED(hr)) {
        pbNOTCH = byteValue(0);
        pbEQ_1_GAIN = byteValue(1);
        pbEQ_2_GAIN = byteValue(2);
        pbEQ_3_GAIN = byteValue(3);
        pbEQ_4_GAIN = byteValue(4);
        pbEQ_5_GAIN = byteValue(5);
    }
    return hr;
}

HRESULT FakeDevice::GetStatusEQ_POWER_BW_MODE(unsigned char& pbPOWER, unsigned char& pbEQ_1_BW_MODE,
                                              unsigned char& pbEQ_2_BW_MODE,
                                              unsigned char& pbEQ_3_BW_MODE,
                                              unsigned char& pbEQ_4_BW_MODE,
                                              unsigned char& pbEQ_5_BW_MODE) {
    const HRESULT hr = exchange(record("GetStatusEQ_POWER_BW_MODE"));
    if (sdk::SUCCEEDED(hr)) {
        pbPOWER = byteValue(0);
        pbEQ_1_BW_MODE = byteValue(1);
        pbEQ_2_BW_MODE = byteValue(2);
        pbEQ_3_BW_MODE = byteValue(3);
        pbEQ_4_BW_MODE = byteValue(4);
        pbEQ_5_BW_MODE = byteValue(5);
    }
    return hr;
}

HRESULT FakeDevice::SetDirectionVolume(unsigned char bVolume) {
    const HRESULT hr = exchange(record("SetDirectionVolume", {describe(bVolume)}));
    return hr;
}

HRESULT FakeDevice::GetDirection(unsigned char& pbVol, unsigned char& pbZoom,
                                 unsigned char& pbBeam) {
    const HRESULT hr = exchange(record("GetDirection"));
    if (sdk::SUCCEEDED(hr)) {
        pbVol = byteValue(0);
        pbZoom = byteValue(1);
        pbBeam = byteValue(2);
    }
    return hr;
}

HRESULT FakeDevice::SetVolume(unsigned char bVolume) {
    const HRESULT hr = exchange(record("SetVolume", {describe(bVolume)}));
    return hr;
}

HRESULT FakeDevice::SetVolumeNorm() {
    const HRESULT hr = exchange(record("SetVolumeNorm"));
    return hr;
}

HRESULT FakeDevice::SetVolumeMute() {
    const HRESULT hr = exchange(record("SetVolumeMute"));
    return hr;
}

HRESULT FakeDevice::SetZoom(unsigned char bZoom) {
    const HRESULT hr = exchange(record("SetZoom", {describe(bZoom)}));
    return hr;
}

HRESULT FakeDevice::SetBeam(unsigned char bBeam) {
    const HRESULT hr = exchange(record("SetBeam", {describe(bBeam)}));
    return hr;
}

HRESULT FakeDevice::Set_LPF(unsigned char bLPF) {
    const HRESULT hr = exchange(record("Set_LPF", {describe(bLPF)}));
    return hr;
}

HRESULT FakeDevice::Set_HPF_1(unsigned char bHPF_1) {
    const HRESULT hr = exchange(record("Set_HPF_1", {describe(bHPF_1)}));
    return hr;
}

HRESULT FakeDevice::Set_HPF_2(unsigned char bHPF_2) {
    const HRESULT hr = exchange(record("Set_HPF_2", {describe(bHPF_2)}));
    return hr;
}

HRESULT FakeDevice::Set_EQ_NOTCH(unsigned char bEQ_ON) {
    const HRESULT hr = exchange(record("Set_EQ_NOTCH", {describe(bEQ_ON)}));
    return hr;
}

HRESULT FakeDevice::Set_EQ_GAIN(unsigned char bEQ, unsigned char bGAIN) {
    const HRESULT hr = exchange(record("Set_EQ_GAIN", {describe(bEQ), describe(bGAIN)}));
    return hr;
}

HRESULT FakeDevice::Set_EQ_POWER(unsigned char bEQ_ON) {
    const HRESULT hr = exchange(record("Set_EQ_POWER", {describe(bEQ_ON)}));
    return hr;
}

HRESULT FakeDevice::Set_EQ_BAND_WIDTH(unsigned char bEQ, int nBand, int nWidth) {
    const HRESULT hr =
        exchange(record("Set_EQ_BAND_WIDTH", {describe(bEQ), describe(nBand), describe(nWidth)}));
    return hr;
}

HRESULT FakeDevice::Set_EQ_BAND_MODE(unsigned char bEQ, unsigned char bMode) {
    const HRESULT hr = exchange(record("Set_EQ_BAND_MODE", {describe(bEQ), describe(bMode)}));
    return hr;
}

HRESULT FakeDevice::Set_ALC_RECOVERY(unsigned char bVAL) {
    const HRESULT hr = exchange(record("Set_ALC_RECOVERY", {describe(bVAL)}));
    return hr;
}

HRESULT FakeDevice::Set_ALC_MODE(unsigned char bVAL) {
    const HRESULT hr = exchange(record("Set_ALC_MODE", {describe(bVAL)}));
    return hr;
}

HRESULT FakeDevice::Set_ALC_REF_VALUE(unsigned char bREF_VAL) {
    const HRESULT hr = exchange(record("Set_ALC_REF_VALUE", {describe(bREF_VAL)}));
    return hr;
}

HRESULT FakeDevice::Get_Ext_OutVolume(unsigned char& pbVolume) {
    const HRESULT hr = exchange(record("Get_Ext_OutVolume"));
    if (sdk::SUCCEEDED(hr)) {
        pbVolume = byteValue(0);
    }
    return hr;
}

HRESULT FakeDevice::Set_Ext_OutVolume(unsigned char bVolume) {
    const HRESULT hr = exchange(record("Set_Ext_OutVolume", {describe(bVolume)}));
    return hr;
}

HRESULT FakeDevice::Get_Ext_TPA(unsigned char& pbTPA) {
    const HRESULT hr = exchange(record("Get_Ext_TPA"));
    if (sdk::SUCCEEDED(hr)) {
        pbTPA = byteValue(0);
    }
    return hr;
}

HRESULT FakeDevice::Set_Ext_TPA(unsigned char bTPA) {
    const HRESULT hr = exchange(record("Set_Ext_TPA", {describe(bTPA)}));
    return hr;
}

}  // namespace qm::ipc::testing
