#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/ipc/ipc_result.h"
#include "common/ipc/simulator_control.h"
#include "common/sdk/interfaces.h"
#include "common/sdk/snapshot_enumerator.h"
#include "tools/qmctl/service_access.h"

// Stand-ins for the service that record the calls qmctl makes and answer as configured.
namespace qm::qmctl::testing {

using sdk::HRESULT;

// A microphone: answers from its fields and records every call as text ("Set_LPF(5)").
class FakeDevice final : public sdk::IQMDevice {
  public:
    std::string serial;
    std::string name = "Alder";
    std::string friendlyName;
    std::string description;
    std::string xml;
    HRESULT started = sdk::S_OK;
    HRESULT initialized = sdk::S_OK;
    HRESULT xmlResult = sdk::S_OK;
    std::string vendorId = "10C4";
    std::string productId = "EAB0";
    std::string apiVersion = "0x0x01";
    std::string firmwareVersion = "0x12";
    HRESULT vendorResult = sdk::S_OK;
    // What every change call returns, and GetLastStatus.
    HRESULT changeResult = sdk::S_OK;
    HRESULT lastStatus = sdk::S_OK;
    HRESULT identityResult = sdk::S_OK;  // SetFriendlyName, SetDescription, ResetDefault
    // When set, every call fails with it (the object is gone, the service left, ...).
    HRESULT everyCall = sdk::S_OK;

    std::vector<std::string> calls() const {
        std::lock_guard guard(mutex_);
        return calls_;
    }

    HRESULT GetDeviceIndexHID(int& index) override {
        index = -1;
        return record("GetDeviceIndexHID", sdk::S_OK);
    }
    HRESULT GetDeviceSN(std::string& out) override { return get("GetDeviceSN", serial, out); }
    HRESULT IsStarted() override { return record("IsStarted", started); }
    HRESULT IsInitialized() override { return record("IsInitialized", initialized); }
    HRESULT GetDeviceXML(std::string& out) override {
        const HRESULT hr = record("GetDeviceXML", xmlResult);
        if (sdk::SUCCEEDED(hr))
            out = xml;
        return hr;
    }
    HRESULT GetName(std::string& out) override { return get("GetName", name, out); }
    HRESULT GetVendorID(std::string& out) override {
        const HRESULT hr = record("GetVendorID", vendorResult);
        if (sdk::SUCCEEDED(hr))
            out = vendorId;
        return hr;
    }
    HRESULT GetProductID(std::string& out) override { return get("GetProductID", productId, out); }
    HRESULT GetHardwareID(std::string& out) override { return get("GetHardwareID", "", out); }
    HRESULT GetHardwareVer(std::string& api, std::string& firmware) override {
        const HRESULT hr = record("GetHardwareVer", sdk::S_OK);
        if (sdk::SUCCEEDED(hr)) {
            api = apiVersion;
            firmware = firmwareVersion;
        }
        return hr;
    }
    HRESULT GetContainerID(std::string& out) override { return get("GetContainerID", "", out); }
    HRESULT SetFriendlyName(const std::string& text) override {
        friendlyName = text;
        return record("SetFriendlyName(" + text + ")", identityResult);
    }
    HRESULT GetFriendlyName(std::string& out) override {
        return get("GetFriendlyName", friendlyName, out);
    }
    HRESULT SetDescription(const std::string& text) override {
        description = text;
        return record("SetDescription(" + text + ")", identityResult);
    }
    HRESULT GetDescription(std::string& out) override {
        return get("GetDescription", description, out);
    }
    HRESULT ResetDefault() override { return record("ResetDefault", identityResult); }
    HRESULT ResetStatus() override { return record("ResetStatus", sdk::S_OK); }
    HRESULT ResetWatchDog() override { return record("ResetWatchDog", sdk::S_OK); }
    HRESULT GetLastStatus() override { return record("GetLastStatus", lastStatus); }
    HRESULT GetStatusDSP(unsigned char&) override { return record("GetStatusDSP", sdk::E_FAIL); }
    HRESULT GetStatusALC(unsigned char&, unsigned char&, unsigned char&, unsigned char&) override {
        return record("GetStatusALC", sdk::E_FAIL);
    }
    HRESULT GetStatusHPF_LPF(unsigned char&, unsigned char&, unsigned char&) override {
        return record("GetStatusHPF_LPF", sdk::E_FAIL);
    }
    HRESULT GetStatusEQ_NOTCH_GAIN(unsigned char&, unsigned char&, unsigned char&, unsigned char&,
                                   unsigned char&, unsigned char&) override {
        return record("GetStatusEQ_NOTCH_GAIN", sdk::E_FAIL);
    }
    HRESULT GetStatusEQ_POWER_BW_MODE(unsigned char&, unsigned char&, unsigned char&,
                                      unsigned char&, unsigned char&, unsigned char&) override {
        return record("GetStatusEQ_POWER_BW_MODE", sdk::E_FAIL);
    }
    HRESULT SetDirectionVolume(unsigned char v) override { return change("SetDirectionVolume", v); }
    HRESULT GetDirection(unsigned char&, unsigned char&, unsigned char&) override {
        return record("GetDirection", sdk::E_FAIL);
    }
    HRESULT SetVolume(unsigned char v) override { return change("SetVolume", v); }
    HRESULT SetVolumeNorm() override { return record("SetVolumeNorm", changeResult); }
    HRESULT SetVolumeMute() override { return record("SetVolumeMute", changeResult); }
    HRESULT SetZoom(unsigned char v) override { return change("SetZoom", v); }
    HRESULT SetBeam(unsigned char v) override { return change("SetBeam", v); }
    HRESULT Set_LPF(unsigned char v) override { return change("Set_LPF", v); }
    HRESULT Set_HPF_1(unsigned char v) override { return change("Set_HPF_1", v); }
    HRESULT Set_HPF_2(unsigned char v) override { return change("Set_HPF_2", v); }
    HRESULT Set_EQ_NOTCH(unsigned char v) override { return change("Set_EQ_NOTCH", v); }
    HRESULT Set_EQ_GAIN(unsigned char band, unsigned char v) override {
        return change("Set_EQ_GAIN", v, band);
    }
    HRESULT Set_EQ_POWER(unsigned char v) override { return change("Set_EQ_POWER", v); }
    HRESULT Set_EQ_BAND_WIDTH(unsigned char band, int frequency, int width) override {
        return record("Set_EQ_BAND_WIDTH(" + std::to_string(band) + ", " +
                          std::to_string(frequency) + ", " + std::to_string(width) + ")",
                      changeResult);
    }
    HRESULT Set_EQ_BAND_MODE(unsigned char band, unsigned char v) override {
        return change("Set_EQ_BAND_MODE", v, band);
    }
    HRESULT Set_ALC_RECOVERY(unsigned char v) override { return change("Set_ALC_RECOVERY", v); }
    HRESULT Set_ALC_MODE(unsigned char v) override { return change("Set_ALC_MODE", v); }
    HRESULT Set_ALC_REF_VALUE(unsigned char v) override { return change("Set_ALC_REF_VALUE", v); }
    HRESULT Get_Ext_OutVolume(unsigned char&) override {
        return record("Get_Ext_OutVolume", sdk::E_FAIL);
    }
    HRESULT Set_Ext_OutVolume(unsigned char v) override { return change("Set_Ext_OutVolume", v); }
    HRESULT Get_Ext_TPA(unsigned char&) override { return record("Get_Ext_TPA", sdk::E_FAIL); }
    HRESULT Set_Ext_TPA(unsigned char v) override { return change("Set_Ext_TPA", v); }

  private:
    HRESULT record(const std::string& call, HRESULT result) {
        std::lock_guard guard(mutex_);
        calls_.push_back(call);
        return everyCall != sdk::S_OK ? everyCall : result;
    }
    HRESULT get(const std::string& call, const std::string& value, std::string& out) {
        const HRESULT hr = record(call, sdk::S_OK);
        if (sdk::SUCCEEDED(hr))
            out = value;
        return hr;
    }
    HRESULT change(const std::string& call, unsigned char value, int band = -1) {
        std::string text = call + "(";
        if (band >= 0)
            text += std::to_string(band) + ", ";
        text += std::to_string(value) + ")";
        return record(text, changeResult);
    }

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

// A device manager over a list of FakeDevices.
class FakeManager final : public sdk::IQuillmereSDK {
  public:
    std::vector<std::shared_ptr<FakeDevice>> devices;
    std::string logFolder = "/var/log/quillmere";
    HRESULT enumResult = sdk::S_OK;  // a failure here fails EnumQMDevice
    HRESULT adviseResult = sdk::S_OK;
    HRESULT aliveResult = sdk::S_OK;  // IsInitialize
    HRESULT setLogFolderResult = sdk::S_OK;

    std::vector<std::shared_ptr<sdk::IDeviceNotify>> advised;
    std::vector<std::shared_ptr<sdk::IDeviceNotify>> unadvised;
    std::vector<std::string> removedBySerial;
    int isInitializeCalls = 0;
    int removeAllInactiveCalls = 0;

    std::shared_ptr<FakeDevice> add(const std::string& serial, const std::string& name) {
        auto device = std::make_shared<FakeDevice>();
        device->serial = serial;
        device->name = name;
        devices.push_back(device);
        return device;
    }

    HRESULT WriteLog(sdk::qmLogEventType, const std::string&) override { return sdk::S_OK; }
    HRESULT NotifyRelease() override { return sdk::S_OK; }
    HRESULT IsInitialize() override {
        std::lock_guard guard(mutex_);
        ++isInitializeCalls;
        return aliveResult;
    }
    HRESULT GetVersion(std::string& version) override {
        version = "1.0.0.4";
        return sdk::S_OK;
    }
    HRESULT EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* out) override {
        if (sdk::FAILED(enumResult))
            return enumResult;
        if (devices.empty())
            return sdk::E_INVALIDARG;
        auto snapshot =
            std::make_shared<sdk::SnapshotEnumerator::Snapshot>(devices.begin(), devices.end());
        *out = std::make_shared<sdk::SnapshotEnumerator>(std::move(snapshot));
        return sdk::S_OK;
    }
    HRESULT RemoveDevice(const std::shared_ptr<sdk::IQMDevice>&) override { return sdk::E_NOTIMPL; }
    HRESULT RemoveDeviceBySN(const std::string& serial) override {
        removedBySerial.push_back(serial);
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            if ((*it)->serial == serial) {
                devices.erase(it);
                return sdk::S_OK;
            }
        }
        return sdk::E_POINTER;
    }
    HRESULT RemoveAllInactive() override {
        ++removeAllInactiveCalls;
        std::erase_if(devices, [](const auto& d) { return d->started != sdk::S_OK; });
        return sdk::S_OK;
    }
    HRESULT GetLogFolder(std::string& folder) override {
        folder = logFolder;
        return sdk::S_OK;
    }
    HRESULT SetLogFolder(const std::string& folder) override {
        if (sdk::SUCCEEDED(setLogFolderResult))
            logFolder = folder;
        return setLogFolderResult;
    }
    HRESULT AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) override {
        std::lock_guard guard(mutex_);
        if (sdk::SUCCEEDED(adviseResult))
            advised.push_back(sink);
        return adviseResult;
    }
    HRESULT UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) override {
        std::lock_guard guard(mutex_);
        unadvised.push_back(sink);
        return sdk::S_OK;
    }

    std::shared_ptr<sdk::IDeviceNotify> sink(std::size_t i) {
        std::lock_guard guard(mutex_);
        return i < advised.size() ? advised[i] : nullptr;
    }

  private:
    std::mutex mutex_;
};

// The simulator: records calls, answers with the configured result.
class FakeSimulator final : public ipc::SimulatorControl {
  public:
    HRESULT result = sdk::S_OK;
    std::vector<ipc::SimulatedMicrophoneState> microphones;
    std::vector<std::string> calls;

    HRESULT Plug(const std::string& model, const std::string& serial) override {
        calls.push_back("Plug(" + model + ", " + serial + ")");
        return result;
    }
    HRESULT Unplug(const std::string& serial) override {
        calls.push_back("Unplug(" + serial + ")");
        return result;
    }
    HRESULT PlugForeign(const std::string& name, std::string& endpointId) override {
        calls.push_back("PlugForeign(" + name + ")");
        if (sdk::SUCCEEDED(result))
            endpointId = "{0.0.1.00000000}.foreign-" + name;
        return result;
    }
    HRESULT UnplugForeign(const std::string& endpointId) override {
        calls.push_back("UnplugForeign(" + endpointId + ")");
        return result;
    }
    HRESULT SetFault(const std::string& serial, const std::string& fault, std::int32_t count,
                     std::int32_t value) override {
        calls.push_back("SetFault(" + serial + ", " + fault + ", " + std::to_string(count) + ", " +
                        std::to_string(value) + ")");
        return result;
    }
    HRESULT List(std::vector<ipc::SimulatedMicrophoneState>& out) override {
        calls.push_back("List");
        if (sdk::SUCCEEDED(result))
            out = microphones;
        return result;
    }
};

// The way to the fakes; a null manager or simulator stands for a service that can't be reached.
class FakeServiceAccess final : public ServiceAccess {
  public:
    std::shared_ptr<FakeManager> manager = std::make_shared<FakeManager>();
    std::shared_ptr<FakeSimulator> simulator = std::make_shared<FakeSimulator>();
    HRESULT connectResult = ipc::kServiceUnavailable;  // when manager is null
    int connects = 0;

    std::shared_ptr<sdk::IQuillmereSDK> connect(HRESULT& result) override {
        ++connects;
        result = manager ? sdk::S_OK : connectResult;
        return manager;
    }
    std::shared_ptr<ipc::SimulatorControl> connectSimulator(HRESULT& result) override {
        result = simulator ? sdk::S_OK : connectResult;
        return simulator;
    }
    std::string busDescription() const override { return "unix:path=/tmp/test-bus"; }
};

}  // namespace qm::qmctl::testing
