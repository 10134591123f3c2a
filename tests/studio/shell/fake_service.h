#pragma once

#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/sdk/identifiers.h"
#include "common/sdk/snapshot_enumerator.h"
#include "common/text/text.h"
#include "studio/shell/service_connector.h"
#include "support/mock_interfaces.h"
#include "support/table_fakes.h"

namespace qm::studio::testing {

using sdk::HRESULT;

// Calls the studio made to the fakes on the thread that runs the tests (its GUI thread): there
// should be none.
inline std::atomic<int>& guiThreadCalls() {
    static std::atomic<int> count{0};
    return count;
}

inline const std::thread::id& guiThread() {
    static const std::thread::id id = std::this_thread::get_id();
    return id;
}

// Takes this thread as the GUI thread and starts counting anew.
inline void resetGuiThreadCalls() {
    static_cast<void>(guiThread());
    guiThreadCalls() = 0;
}

inline void noteCallThread() {
    if (std::this_thread::get_id() == guiThread()) {
        ++guiThreadCalls();
    }
}

// A microphone as the service hands it out: identity and state in plain fields, every other
// call answered by GoogleMock's defaults.
class FakeDevice : public ::testing::NiceMock<sdk::testing::MockQMDevice> {
  public:
    FakeDevice(std::string serialNumber, std::string productName, bool isStarted)
        : serial(std::move(serialNumber)), name(std::move(productName)), started(isStarted) {
        using ::testing::_;
        using ::testing::Invoke;
        // Every call notes its thread, so that calls on the GUI thread show.
        const auto read = [this](std::string FakeDevice::*field) {
            return Invoke([this, field](std::string& out) {
                noteCallThread();
                out = this->*field;
                return sdk::S_OK;
            });
        };
        const auto write = [this](std::string FakeDevice::*field) {
            return Invoke([this, field](const std::string& in) {
                noteCallThread();
                this->*field = in;
                return sdk::S_OK;
            });
        };
        ON_CALL(*this, GetDeviceSN(_)).WillByDefault(read(&FakeDevice::serial));
        ON_CALL(*this, GetName(_)).WillByDefault(Invoke([this](std::string& out) {
            noteCallThread();
            if (nameFails) {
                return sdk::E_NOINTERFACE;
            }
            out = name;
            return sdk::S_OK;
        }));
        ON_CALL(*this, IsStarted()).WillByDefault(Invoke([this] {
            noteCallThread();
            return started ? sdk::S_OK : sdk::S_FALSE;
        }));
        ON_CALL(*this, GetVendorID(_)).WillByDefault(read(&FakeDevice::vendorId));
        ON_CALL(*this, GetProductID(_)).WillByDefault(read(&FakeDevice::productId));
        ON_CALL(*this, GetFriendlyName(_)).WillByDefault(read(&FakeDevice::friendlyName));
        ON_CALL(*this, GetDescription(_)).WillByDefault(read(&FakeDevice::description));
        ON_CALL(*this, SetFriendlyName(_)).WillByDefault(write(&FakeDevice::friendlyName));
        ON_CALL(*this, SetDescription(_)).WillByDefault(write(&FakeDevice::description));
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
class FakeService final : public sdk::testing::ManagerDefaults {
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
            static_cast<void>(sink->OnDeviceNotify(serial, state));
        }
    }

    HRESULT NotifyRelease() override {
        notify(sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE);
        return sdk::S_OK;
    }
    HRESULT IsInitialize() override {
        noteCallThread();
        ++initializeCalls;
        return initializeCalls > notInitializedCalls ? sdk::S_OK : sdk::S_FALSE;
    }
    HRESULT EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* out) override {
        noteCallThread();
        ++enumerations;
        auto snapshot =
            std::make_shared<sdk::SnapshotEnumerator::Snapshot>(devices.begin(), devices.end());
        *out = std::make_shared<sdk::SnapshotEnumerator>(std::move(snapshot));
        return sdk::S_OK;
    }
    HRESULT RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& device) override {
        noteCallThread();
        removed.push_back(device);
        return sdk::S_OK;
    }
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
    HRESULT SetLogFolder(const std::string& folder) override {
        noteCallThread();
        logFolders.push_back(folder);
        return setLogFolderResult;
    }
    HRESULT AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) override {
        noteCallThread();
        sinks.push_back(sink);
        if (whileAdvising) {
            whileAdvising();
        }
        return sdk::S_OK;
    }
    HRESULT UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) override {
        noteCallThread();
        std::erase(sinks, sink);
        return sdk::S_OK;
    }

    // Runs inside AdviceSink, after the sink was added.
    std::function<void()> whileAdvising;

    std::vector<std::shared_ptr<FakeDevice>> devices;
    std::vector<std::shared_ptr<sdk::IDeviceNotify>> sinks;
    std::vector<std::shared_ptr<sdk::IQMDevice>> removed;
    std::vector<std::string> logFolders;
    HRESULT setLogFolderResult = sdk::S_OK;
    int notInitializedCalls = 0;
    int initializeCalls = 0;
    int enumerations = 0;
    int removeAllCalls = 0;
};

// Hands out the fake service while it "runs", and tells the watcher when it comes and goes.
class FakeConnector final : public ServiceConnector {
  public:
    std::shared_ptr<sdk::IQuillmereSDK> connect() override {
        noteCallThread();
        ++connects;
        return running ? service : nullptr;
    }
    std::unique_ptr<ServiceWatch> watch(PresenceHandler changed) override {
        std::lock_guard guard(mutex_);
        watcher_ = std::move(changed);
        return std::make_unique<Watch>(*this);
    }

    // The service appears on the bus or leaves it, as the bus would tell.
    void announce(bool present) {
        std::lock_guard guard(mutex_);
        running = present;
        if (watcher_) {
            watcher_(present);
        }
    }
    bool watched() {
        std::lock_guard guard(mutex_);
        return static_cast<bool>(watcher_);
    }

    std::shared_ptr<FakeService> service = std::make_shared<FakeService>();
    bool running = true;
    int connects = 0;

  private:
    struct Watch final : ServiceWatch {
        explicit Watch(FakeConnector& owner) : owner_(owner) {}
        ~Watch() override {
            std::lock_guard guard(owner_.mutex_);
            owner_.watcher_ = nullptr;
        }
        FakeConnector& owner_;
    };

    std::mutex mutex_;
    PresenceHandler watcher_;
};

}  // namespace qm::studio::testing
