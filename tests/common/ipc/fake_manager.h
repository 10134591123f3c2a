#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "support/table_fakes.h"

namespace qm::ipc::testing {

// An in-process device manager with the manager's documented behaviour for the parts the
// binding carries: the device list and its enumerator, removal, the sink list (same object may
// be advised twice; unadvise removes the first entry that is the same object), notifications in
// sink order, NotifyRelease from the last sink to the first, WriteLog recorded as given.
class FakeManager final : public sdk::testing::ManagerDefaults {
  public:
    using Devices = std::vector<std::shared_ptr<sdk::IQMDevice>>;
    using Sinks = std::vector<std::shared_ptr<sdk::IDeviceNotify>>;

    void setDevices(Devices devices);
    Devices devices() const;
    Sinks sinks() const;
    std::vector<std::pair<sdk::qmLogEventType, std::string>> logLines() const;

    // Calls every sink in list order, as the device thread does for a change.
    void notify(const std::string& serial, int state);
    // Waits (bounded) until `done` holds for the sink list.
    bool waitForSinks(const std::function<bool(const Sinks&)>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

    sdk::HRESULT WriteLog(sdk::qmLogEventType Type, const std::string& str) override;
    sdk::HRESULT NotifyRelease() override;
    sdk::HRESULT IsInitialize() override;
    sdk::HRESULT GetVersion(std::string& pbstrVersion) override;
    sdk::HRESULT EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) override;
    sdk::HRESULT RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& pDevice) override;
    sdk::HRESULT RemoveDeviceBySN(const std::string& bstrSN) override;
    sdk::HRESULT RemoveAllInactive() override;
    sdk::HRESULT GetLogFolder(std::string& pbstrLogFolder) override;
    sdk::HRESULT SetLogFolder(const std::string& bstrLogFolder) override;
    sdk::HRESULT AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) override;
    sdk::HRESULT UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) override;

  private:
    void sendToSinks(const Sinks& sinks, const std::string& serial, int state);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Devices devices_;
    Sinks sinks_;
    std::vector<std::pair<sdk::qmLogEventType, std::string>> log_;
    std::string logFolder_ = "/var/log/quillmere";
};

}  // namespace qm::ipc::testing
