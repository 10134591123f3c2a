#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/runtime/message_queue.h"
#include "common/sdk/guid.h"
#include "common/sdk/interfaces.h"
#include "service/core/bridge_scan.h"
#include "service/core/device_environment.h"
#include "service/core/device_record.h"
#include "service/core/qm_device.h"
#include "service/log/qm_log.h"

namespace qm::core {

// The service's single device manager: knows every microphone seen (unless told to forget
// unplugged ones), finds them at start, follows their arrival and removal by container id,
// starts and stops their device objects, removes them on request and tells the advised clients.
// All changes of the device list that follow plug-and-play news are made by one thread
// (DeviceProc), which works off two queues and a five-second timer.
class CQuillmereSDK final : public sdk::IQuillmereSDK {
  public:
    using HRESULT = sdk::HRESULT;

    static constexpr Duration kTimerPeriod = std::chrono::milliseconds(5000);
    static constexpr Duration kThreadStopWait = std::chrono::milliseconds(1000);

    // Constructs and runs FinalConstruct: cache, bridge scan, device thread. Tests that drive
    // the device thread's work themselves (DoUpdateDeviceList) leave the thread out.
    enum class DeviceThread { Run, LeaveOut };
    static std::shared_ptr<CQuillmereSDK> create(DeviceEnvironment environment,
                                                 DeviceThread thread = DeviceThread::Run);
    ~CQuillmereSDK() override;
    CQuillmereSDK(const CQuillmereSDK&) = delete;
    CQuillmereSDK& operator=(const CQuillmereSDK&) = delete;

    // Plug-and-play news, called on the endpoint system's thread.
    void DoDeviceAdded(const std::string& endpointId);
    void DoDeviceChange(const std::string& endpointId, std::uint32_t newState);
    // Run by the device thread; public so tests can drive a tick.
    void DoUpdateDeviceList(int fromTimer);
    bool FindHidUartDevice(const std::string& containerId, QM_DEVICE& record);
    void DoUpdateNotify(const std::string& serial, int state);

    std::vector<std::shared_ptr<CQMDevice>> devices() const;
    std::uint32_t deviceMode() const { return deviceMode_; }
    CQmLog& log() { return log_; }

    // IQuillmereSDK.
    [[nodiscard]] HRESULT WriteLog(sdk::qmLogEventType Type, const std::string& str) override;
    [[nodiscard]] HRESULT NotifyRelease() override;
    [[nodiscard]] HRESULT IsInitialize() override;
    [[nodiscard]] HRESULT GetVersion(std::string& pbstrVersion) override;
    [[nodiscard]] HRESULT EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) override;
    [[nodiscard]] HRESULT RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& pDevice) override;
    [[nodiscard]] HRESULT RemoveDeviceBySN(const std::string& bstrSN) override;
    [[nodiscard]] HRESULT RemoveAllInactive() override;
    [[nodiscard]] HRESULT GetLogFolder(std::string& pbstrLogFolder) override;
    [[nodiscard]] HRESULT SetLogFolder(const std::string& bstrLogFolder) override;
    [[nodiscard]] HRESULT AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) override;
    [[nodiscard]] HRESULT UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) override;

  private:
    explicit CQuillmereSDK(DeviceEnvironment environment);

    // A message of the device thread's queue.
    struct ThreadMessage {
        enum Kind { Update, Quit } kind;
        int wParam = 0;
    };

    static void release(CQuillmereSDK* manager);
    void FinalConstruct(DeviceThread thread);
    // True when the device thread ended within its wait.
    bool FinalRelease();
    void DeviceProc(const std::stop_token& stop);
    void postUpdate(int wParam = 0);
    std::shared_ptr<CQMDevice> createDevice();
    std::shared_ptr<CQMDevice> findBySerial(const std::string& serial) const;
    std::shared_ptr<CQMDevice> findByContainer(const sdk::Guid& containerId) const;
    // Stops and forgets a device and its cache; false when it is not in the list.
    bool removeFromList(const std::shared_ptr<CQMDevice>& device, const std::string& notifySerial,
                        bool bySerial);
    void deleteCache(const std::string& serial);
    bool isListed(const std::shared_ptr<CQMDevice>& device) const;
    // Takes the device out of the list; false when it was not in it.
    bool unlist(const std::shared_ptr<CQMDevice>& device);
    void queueRecord(QM_DEVICE record);
    std::vector<QM_DEVICE> takeRecords();
    std::vector<sdk::Guid> takeContainers();
    void pushContainer(const sdk::Guid& id);
    void dropContainer(const sdk::Guid& id);
    void processRecord(QM_DEVICE& record);
    void timerWork();
    std::string readLogFolderOrDefault();

    DeviceEnvironment env_;
    CQmLog log_;
    std::atomic<bool> initialized_{false};
    std::uint32_t deviceMode_ = 0;
    std::uint32_t timerSetting_ = 0;

    mutable std::mutex folderMutex_;
    std::string logFolder_;
    // Held by SetLogFolder from its check to the last device's log: one move at a time.
    std::mutex logFolderMutex_;

    // Held while a device joins the list, starts, stops, or is taken out of the list, together
    // with the look at the list that decided it and the notification that announces it; so a
    // device is announced once when it leaves, and never started after it left. Recursive: a
    // client's sink may call back into the manager while it is being told.
    std::recursive_mutex membershipMutex_;

    mutable std::mutex devicesMutex_;
    std::vector<std::shared_ptr<CQMDevice>> devices_;

    std::mutex sinksMutex_;
    std::vector<std::shared_ptr<sdk::IDeviceNotify>> sinks_;

    std::mutex queuesMutex_;
    std::deque<QM_DEVICE> records_;
    std::deque<sdk::Guid> containers_;

    // The manager itself, for work on device threads that may outlive it (the automatic
    // profile's notification).
    std::weak_ptr<CQuillmereSDK> self_;

    MessageQueue<ThreadMessage> messages_{env_.clock};
    std::jthread deviceThread_;
    std::shared_ptr<Event> deviceThreadEnded_;
};

}  // namespace qm::core
