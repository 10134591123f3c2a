#pragma once

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/sdk/identifiers.h"
#include "common/sdk/snapshot_enumerator.h"
#include "common/text/text.h"
#include "studio/shell/service_connector.h"
#include "support/mock_interfaces.h"

namespace qm::studio::testing {

using sdk::HRESULT;

// A microphone as the service hands it out: identity and state in plain fields, every other
// call answered by GoogleMock's defaults.
class FakeDevice : public ::testing::NiceMock<sdk::testing::MockQMDevice> {
  public:
    FakeDevice(std::string serialNumber, std::string productName, bool isStarted)
        : serial(std::move(serialNumber)), name(std::move(productName)), started(isStarted) {
        using ::testing::_;
        using ::testing::Invoke;
        ON_CALL(*this, GetDeviceSN(_)).WillByDefault(Invoke([this](std::string& out) {
            out = serial;
            return sdk::S_OK;
        }));
        ON_CALL(*this, GetName(_)).WillByDefault(Invoke([this](std::string& out) {
            if (nameFails) {
                return sdk::E_NOINTERFACE;
            }
            out = name;
            return sdk::S_OK;
        }));
        ON_CALL(*this, IsStarted()).WillByDefault(Invoke([this] {
            return started ? sdk::S_OK : sdk::S_FALSE;
        }));
        ON_CALL(*this, GetVendorID(_)).WillByDefault(Invoke([this](std::string& out) {
            out = vendorId;
            return sdk::S_OK;
        }));
        ON_CALL(*this, GetProductID(_)).WillByDefault(Invoke([this](std::string& out) {
            out = productId;
            return sdk::S_OK;
        }));
        ON_CALL(*this, GetFriendlyName(_)).WillByDefault(Invoke([this](std::string& out) {
            out = friendlyName;
            return sdk::S_OK;
        }));
        ON_CALL(*this, GetDescription(_)).WillByDefault(Invoke([this](std::string& out) {
            out = description;
            return sdk::S_OK;
        }));
        ON_CALL(*this, SetFriendlyName(_)).WillByDefault(Invoke([this](const std::string& in) {
            friendlyName = in;
            return sdk::S_OK;
        }));
        ON_CALL(*this, SetDescription(_)).WillByDefault(Invoke([this](const std::string& in) {
            description = in;
            return sdk::S_OK;
        }));
    }

    std::string serial;
    std::string name;
    bool started;
    bool nameFails = false;
    std::string vendorId = "10C4";
    std::string productId = "EAB0";
    std::string friendlyName = "Desk microphone";
    std::string description = "Studio A";
};

// The device manager of the service, in process: its microphones, the sinks advised to it, and
// notifications sent on demand.
class FakeService final : public sdk::IQuillmereSDK {
  public:
    std::shared_ptr<FakeDevice> add(const std::string& serial, const std::string& name,
                                    bool started = true) {
        auto device = std::make_shared<FakeDevice>(serial, name, started);
        devices.push_back(device);
        return device;
    }

    // Calls every advised sink, as the service's notification thread would.
    void notify(const std::string& serial, int state) {
        const auto current = sinks;
        for (const auto& sink : current) {
            sink->OnDeviceNotify(serial, state);
        }
    }

    HRESULT WriteLog(sdk::qmLogEventType, const std::string&) override { return sdk::S_OK; }
    HRESULT NotifyRelease() override {
        notify(sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE);
        return sdk::S_OK;
    }
    HRESULT IsInitialize() override {
        ++initializeCalls;
        return initializeCalls > notInitializedCalls ? sdk::S_OK : sdk::S_FALSE;
    }
    HRESULT GetVersion(std::string& version) override {
        version = sdk::kSdkVersion;
        return sdk::S_OK;
    }
    HRESULT EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* out) override {
        ++enumerations;
        auto snapshot =
            std::make_shared<sdk::SnapshotEnumerator::Snapshot>(devices.begin(), devices.end());
        *out = std::make_shared<sdk::SnapshotEnumerator>(std::move(snapshot));
        return sdk::S_OK;
    }
    HRESULT RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& device) override {
        removed.push_back(device);
        return sdk::S_OK;
    }
    HRESULT RemoveDeviceBySN(const std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT RemoveAllInactive() override {
        ++removeAllCalls;
        const auto inactive = std::count_if(devices.begin(), devices.end(),
                                            [](const auto& d) { return !d->started; });
        std::erase_if(devices, [](const auto& d) { return !d->started; });
        if (inactive > 0) {
            notify(sdk::kInactiveRemovedSerial, sdk::QM_NOTIFY_INACTIVE_REMOVED);
        }
        return sdk::S_OK;
    }
    HRESULT GetLogFolder(std::string& folder) override {
        folder = "/var/log/quillmere";
        return sdk::S_OK;
    }
    HRESULT SetLogFolder(const std::string&) override { return sdk::S_OK; }
    HRESULT AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) override {
        sinks.push_back(sink);
        return sdk::S_OK;
    }
    HRESULT UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) override {
        std::erase(sinks, sink);
        return sdk::S_OK;
    }

    std::vector<std::shared_ptr<FakeDevice>> devices;
    std::vector<std::shared_ptr<sdk::IDeviceNotify>> sinks;
    std::vector<std::shared_ptr<sdk::IQMDevice>> removed;
    int notInitializedCalls = 0;
    int initializeCalls = 0;
    int enumerations = 0;
    int removeAllCalls = 0;
};

// Hands out the fake service while it "runs".
class FakeConnector final : public ServiceConnector {
  public:
    std::shared_ptr<sdk::IQuillmereSDK> connect() override {
        ++connects;
        return running ? service : nullptr;
    }

    std::shared_ptr<FakeService> service = std::make_shared<FakeService>();
    bool running = true;
    int connects = 0;
};

}  // namespace qm::studio::testing
