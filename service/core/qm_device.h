#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "common/runtime/event.h"
#include "common/sdk/interfaces.h"
#include "common/settings/device_settings.h"
#include "service/core/command_protocol.h"
#include "service/core/device_environment.h"
#include "service/core/device_xml.h"
#include "service/log/qm_log.h"

namespace qm::core {

// The service's object for one microphone: its channel, identity and 25 settings, mirrored in
// the registry cache so an unplugged microphone stays known, an initial read of every setting on
// its own thread when started, the client operations, and its own log.
//
// Thread safety: client calls, the device manager's thread and the initial read may all enter
// at once. Exchanges on the channel are serialised by the exchange lock; starting and stopping
// by the lifecycle lock; identity and settings by their own small locks. The channel is closed
// only when no exchange uses it any more.
class CQMDevice final : public sdk::IQMDevice, private ProtocolHost {
  public:
    using HRESULT = sdk::HRESULT;
    using Byte = unsigned char;

    // How long StopDevice waits for the initial read to end.
    static constexpr Duration kInitStopWait = std::chrono::milliseconds(1000);

    // Work that follows every successful initial read on its thread (the automatic profile);
    // the stop token is the read's, so StopDevice ends it with the read.
    using ReadFinishedHook = std::function<void(CQMDevice& device, std::stop_token stop)>;

    explicit CQMDevice(DeviceEnvironment environment);
    ~CQMDevice() override;  // FinalRelease
    CQMDevice(const CQMDevice&) = delete;
    CQMDevice& operator=(const CQMDevice&) = delete;

    // Operations of the device manager.
    void LoadCacheData(const std::string& serial);
    void SetIdentity(const std::string& serial, const std::string& productName);
    void OpenDeviceLog();
    void StartDevice(int bridgeIndex);
    void StopDevice();
    void UpdateCacheData(const std::string& serial);

    // The cache key of a serial number, under the configuration key; see serial_name.h.
    static std::string cacheKeyPath(const std::string& serialNumber);

    int bridgeIndex() const { return bridgeIndex_.load(); }
    void setBridgeIndex(int index) { bridgeIndex_.store(index); }
    std::string serial() const;
    std::string productName() const;
    bool started() const;
    // True from the start of an initial read until it ended by failure or was stopped.
    bool initialReadRunning() const;
    // Waits until the initial read started last has ended (read, failed or stopped), and the
    // work that follows a successful one too; false when it still runs after `timeout` on the
    // device's clock. True at once when no read was ever started.
    bool waitInitialReadEnded(Duration timeout) const;
    settings::DeviceSettings settingsSnapshot() const;
    // The log line helper of the device's own log.
    CQmLog& log() { return log_; }
    // Set before the device is first started.
    void setReadFinishedHook(ReadFinishedHook hook) { readFinished_ = std::move(hook); }
    // A string value of the microphone's cache key; nothing when missing or not a valid string.
    std::optional<std::string> cachedString(std::string_view valueName) const;

    // IQMDevice.
    [[nodiscard]] HRESULT GetDeviceIndexHID(int& nDeviceIndex) override;
    [[nodiscard]] HRESULT GetDeviceSN(std::string& bstrDeviceSN) override;
    [[nodiscard]] HRESULT IsStarted() override;
    [[nodiscard]] HRESULT IsInitialized() override;
    [[nodiscard]] HRESULT GetDeviceXML(std::string& bstrXML) override;
    [[nodiscard]] HRESULT GetName(std::string& bstrName) override;
    [[nodiscard]] HRESULT GetVendorID(std::string& bstrVendorID) override;
    [[nodiscard]] HRESULT GetProductID(std::string& bstrProductID) override;
    [[nodiscard]] HRESULT GetHardwareID(std::string& bstrHardwareID) override;
    [[nodiscard]] HRESULT GetHardwareVer(std::string& bstrApiVer, std::string& bstrFwVer) override;
    [[nodiscard]] HRESULT GetContainerID(std::string& bstrContainerID) override;
    [[nodiscard]] HRESULT SetFriendlyName(const std::string& bstrFriendlyName) override;
    [[nodiscard]] HRESULT GetFriendlyName(std::string& bstrFriendlyName) override;
    [[nodiscard]] HRESULT SetDescription(const std::string& bstrDescription) override;
    [[nodiscard]] HRESULT GetDescription(std::string& bstrDescription) override;
    [[nodiscard]] HRESULT ResetDefault() override;
    [[nodiscard]] HRESULT ResetStatus() override;
    [[nodiscard]] HRESULT ResetWatchDog() override;
    [[nodiscard]] HRESULT GetLastStatus() override;
    [[nodiscard]] HRESULT GetStatusDSP(Byte& pbVolume) override;
    [[nodiscard]] HRESULT GetStatusALC(Byte& pbRecovery, Byte& pbMode, Byte& pbRefVal,
                                       Byte& pbVolume) override;
    [[nodiscard]] HRESULT GetStatusHPF_LPF(Byte& pbHPF_1, Byte& pbHPF_2, Byte& pbLPF) override;
    [[nodiscard]] HRESULT GetStatusEQ_NOTCH_GAIN(Byte& pbNOTCH, Byte& pbEQ_1_GAIN,
                                                 Byte& pbEQ_2_GAIN, Byte& pbEQ_3_GAIN,
                                                 Byte& pbEQ_4_GAIN, Byte& pbEQ_5_GAIN) override;
    [[nodiscard]] HRESULT GetStatusEQ_POWER_BW_MODE(Byte& pbPOWER, Byte& pbEQ_1_BW_MODE,
                                                    Byte& pbEQ_2_BW_MODE, Byte& pbEQ_3_BW_MODE,
                                                    Byte& pbEQ_4_BW_MODE,
                                                    Byte& pbEQ_5_BW_MODE) override;
    [[nodiscard]] HRESULT SetDirectionVolume(Byte bVolume) override;
    [[nodiscard]] HRESULT GetDirection(Byte& pbVol, Byte& pbZoom, Byte& pbBeam) override;
    [[nodiscard]] HRESULT SetVolume(Byte bVolume) override;
    [[nodiscard]] HRESULT SetVolumeNorm() override;
    [[nodiscard]] HRESULT SetVolumeMute() override;
    [[nodiscard]] HRESULT SetZoom(Byte bZoom) override;
    [[nodiscard]] HRESULT SetBeam(Byte bBeam) override;
    [[nodiscard]] HRESULT Set_LPF(Byte bLPF) override;
    HRESULT Set_HPF_1(Byte bHPF_1) override;
    HRESULT Set_HPF_2(Byte bHPF_2) override;
    [[nodiscard]] HRESULT Set_EQ_NOTCH(Byte bEQ_ON) override;
    [[nodiscard]] HRESULT Set_EQ_GAIN(Byte bEQ, Byte bGAIN) override;
    [[nodiscard]] HRESULT Set_EQ_POWER(Byte bEQ_ON) override;
    [[nodiscard]] HRESULT Set_EQ_BAND_WIDTH(Byte bEQ, int nBand, int nWidth) override;
    [[nodiscard]] HRESULT Set_EQ_BAND_MODE(Byte bEQ, Byte bMode) override;
    [[nodiscard]] HRESULT Set_ALC_RECOVERY(Byte bVAL) override;
    [[nodiscard]] HRESULT Set_ALC_MODE(Byte bVAL) override;
    [[nodiscard]] HRESULT Set_ALC_REF_VALUE(Byte bREF_VAL) override;
    [[nodiscard]] HRESULT Get_Ext_OutVolume(Byte& pbVolume) override;
    [[nodiscard]] HRESULT Set_Ext_OutVolume(Byte bVolume) override;
    [[nodiscard]] HRESULT Get_Ext_TPA(Byte& pbTPA) override;
    [[nodiscard]] HRESULT Set_Ext_TPA(Byte bTPA) override;

  private:
    // The log as the command protocol sees it.
    class ProtocolLog final : public log::LogSink {
      public:
        explicit ProtocolLog(CQmLog& log) : log_(log) {}
        void write(std::uint32_t type, std::string_view text) override { log_.LogText(type, text); }

      private:
        CQmLog& log_;
    };

    // One run of the initial read, with its own running flag: a run that outlives its stop
    // (it was waiting in the bridge) can only clear its own flag, never a newer run's.
    struct InitRun {
        std::jthread thread;
        std::shared_ptr<Event> finished;
        std::shared_ptr<std::atomic<bool>> running;
    };

    // ProtocolHost.
    std::shared_ptr<DeviceChannel> openChannel() override;
    log::LogSink& deviceLog() override { return protocolLog_; }
    bool storeSetting(settings::Setting setting, std::uint8_t value) override;
    void restartDevice() override;

    void InitProc(std::stop_token stop, std::atomic<bool>& running);
    void stopDeviceLocked();
    void stopInitialRead();
    void joinFinishedRuns();
    bool readConfigurationFolder(std::string& folder);
    void restartDeviceLog();
    // Logs a cache value that could not be written; the cache then keeps its older value.
    void reportCacheWrite(long status, std::string_view name);
    [[nodiscard]] HRESULT openedString(std::uint32_t kind, std::string& out);
    DeviceIdentity identity() const;
    void setSettings(std::initializer_list<std::pair<settings::Setting, Byte>> values);
    std::string deviceKeyPath() const;

    DeviceEnvironment env_;
    std::atomic<int> bridgeIndex_{-1};
    CQmLog log_;
    ProtocolLog protocolLog_{log_};
    std::mutex logMutex_;  // held while the log is restarted

    mutable std::mutex identityMutex_;
    DeviceIdentity identity_;
    std::string vendorId_;
    std::string productId_;

    mutable std::mutex settingsMutex_;
    settings::DeviceSettings settings_;

    ExchangeLock exchangeLock_;
    CommandProtocol protocol_{*this, exchangeLock_, env_.clock};

    mutable std::mutex channelMutex_;
    std::shared_ptr<DeviceChannel> channel_;

    // Starting and stopping; held by StartDevice and StopDevice.
    std::mutex lifecycleMutex_;
    std::atomic<bool> initialized_{false};
    // The current run's flag, for initialReadRunning(), and the last run's end.
    mutable std::mutex runFlagMutex_;
    std::shared_ptr<std::atomic<bool>> runFlag_;
    std::shared_ptr<Event> lastRunFinished_;
    std::optional<InitRun> initRun_;
    std::vector<InitRun> abandonedRuns_;  // runs that did not end in time; joined later
    ReadFinishedHook readFinished_;
};

}  // namespace qm::core
