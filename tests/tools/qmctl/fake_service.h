#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/ipc/ipc_result.h"
#include "common/ipc/simulator_control.h"
#include "common/sdk/interfaces.h"
#include "common/sdk/snapshot_enumerator.h"
#include "support/table_fakes.h"
#include "tools/qmctl/service_access.h"

// Stand-ins for the service that record the calls qmctl makes and answer as configured.
namespace qm::qmctl::testing {

using sdk::HRESULT;

// A microphone: answers from its fields and records every call as text ("Set_LPF(5)").
class FakeDevice final : public sdk::testing::TableDevice {
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

  protected:
    HRESULT answer(sdk::testing::DeviceCall& call) override {
        const std::string_view method = call.method;
        if (method == "SetFriendlyName") {
            friendlyName = call.inText(0);
        } else if (method == "SetDescription") {
            description = call.inText(0);
        } else if (method == "GetDeviceIndexHID") {
            *std::get<int*>(call.outs.at(0).value) = -1;
        }
        const HRESULT hr = record(call.text({.parensWhenEmpty = false}), resultOf(call));
        const std::vector<std::string> texts = textsOf(method);
        for (std::size_t i = 0; sdk::SUCCEEDED(hr) && i < texts.size(); ++i) {
            *std::get<std::string*>(call.outs.at(i).value) = texts[i];
        }
        return hr;
    }

  private:
    HRESULT resultOf(const sdk::testing::DeviceCall& call) const {
        const std::string_view method = call.method;
        if (method == "IsStarted")
            return started;
        if (method == "IsInitialized")
            return initialized;
        if (method == "GetDeviceXML")
            return xmlResult;
        if (method == "GetVendorID")
            return vendorResult;
        if (method == "GetLastStatus")
            return lastStatus;
        if (method == "SetFriendlyName" || method == "SetDescription" || method == "ResetDefault")
            return identityResult;
        if (method.starts_with("Set"))
            return changeResult;
        // The status reads are not faked: their bytes would mean nothing.
        if (!call.outs.empty() && std::holds_alternative<unsigned char*>(call.outs[0].value))
            return sdk::E_FAIL;
        return sdk::S_OK;
    }
    // The out strings of a method, in parameter order.
    std::vector<std::string> textsOf(std::string_view method) const {
        if (method == "GetDeviceSN")
            return {serial};
        if (method == "GetName")
            return {name};
        if (method == "GetDeviceXML")
            return {xml};
        if (method == "GetVendorID")
            return {vendorId};
        if (method == "GetProductID")
            return {productId};
        if (method == "GetHardwareVer")
            return {apiVersion, firmwareVersion};
        if (method == "GetFriendlyName")
            return {friendlyName};
        if (method == "GetDescription")
            return {description};
        if (method == "GetHardwareID" || method == "GetContainerID")
            return {""};
        return {};
    }
    HRESULT record(const std::string& call, HRESULT result) {
        std::lock_guard guard(mutex_);
        calls_.push_back(call);
        return everyCall != sdk::S_OK ? everyCall : result;
    }

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

// A device manager over a list of FakeDevices.
class FakeManager final : public sdk::testing::ManagerDefaults {
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
