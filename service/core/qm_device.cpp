#include "service/core/qm_device.h"

#include "common/settings/encodings.h"
#include "common/settings/models.h"
#include "common/settings/serial_name.h"
#include "common/settings/setting_table.h"
#include "common/settings/system_paths.h"
#include "common/text/text.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::core {

using namespace std::chrono_literals;
using hiduart::HID_UART_SUCCESS;
using sdk::E_INVALIDARG;
using sdk::E_NOINTERFACE;
using sdk::HRESULT;
using sdk::leError;
using sdk::leInfo;
using sdk::S_FALSE;
using sdk::S_OK;
using settings::Setting;

namespace {

constexpr std::uint32_t kDefaultTimeoutMs = 150;
constexpr std::uint32_t kBaudRate = 57600;

bool acceptedManufacturer(std::string_view manufacturer) {
    return text::asciiIEquals(manufacturer, "QUILLMERE") ||
           text::asciiIEquals(manufacturer, "Silicon Laboratories");
}

// Reads one string of a bridge of the enumeration; empty on failure.
bool bridgeString(hiduart::HidUartApi& api, std::uint32_t index, std::uint32_t kind,
                  std::string& out) {
    char buffer[hiduart::HID_UART_DEVICE_STRLEN] = {};
    if (api.GetString(index, 0, 0, buffer, kind) != HID_UART_SUCCESS)
        return false;
    buffer[sizeof buffer - 1] = '\0';
    out = buffer;
    return true;
}

}  // namespace

CQMDevice::CQMDevice(DeviceEnvironment environment)
    : env_(environment), log_(environment.clock, environment.logStorage) {
    // A device never loaded nor read shows the normal volume, as the cache loader's placeholder.
    settings_[Setting::Volume] = settings::kVolumeNormal;
}

CQMDevice::~CQMDevice() {
    log_.Log(leInfo, ">>>> FinalRelase ...");
    stopInitialRead();
    {
        std::lock_guard guard(channelMutex_);
        channel_.reset();
    }
    log_.Log(leInfo, ">>>> FinalRelase - Close HID UART Device");
    log_.Log(leInfo, ">>>> FinalRelase - Close LOG file \n");
    log_.Stop();
    // Runs that were asked to stop end soon; their threads are joined here.
    initRun_.reset();
    abandonedRuns_.clear();
}

std::string CQMDevice::deviceKeyPath() const {
    return cacheKeyPath(serial());
}

std::string CQMDevice::cacheKeyPath(const std::string& serialNumber) {
    return std::string(settings::kDevicesKey) + "\\" + settings::serialName(serialNumber);
}

std::string CQMDevice::serial() const {
    std::lock_guard guard(identityMutex_);
    return identity_.serial;
}

std::string CQMDevice::productName() const {
    std::lock_guard guard(identityMutex_);
    return identity_.name;
}

DeviceIdentity CQMDevice::identity() const {
    std::lock_guard guard(identityMutex_);
    return identity_;
}

settings::DeviceSettings CQMDevice::settingsSnapshot() const {
    std::lock_guard guard(settingsMutex_);
    return settings_;
}

void CQMDevice::setSettings(std::initializer_list<std::pair<Setting, Byte>> values) {
    std::lock_guard guard(settingsMutex_);
    for (const auto& [setting, value] : values)
        settings_[setting] = value;
}

bool CQMDevice::started() const {
    std::lock_guard guard(channelMutex_);
    return channel_ != nullptr;
}

std::shared_ptr<DeviceChannel> CQMDevice::openChannel() {
    std::lock_guard guard(channelMutex_);
    return channel_;
}

bool CQMDevice::readConfigurationFolder(std::string& folder) {
    registry::Key config;
    if (env_.registry.openKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                              registry::Access::ReadWrite, config) != registry::ERROR_SUCCESS) {
        return false;
    }
    auto value = registry::readString(config, "LogFolder");
    if (!value)
        return false;
    folder = *value;
    return true;
}

// The log folder's value read and the log started as one step, so that of two restarts at once
// (a client's SetLogFolder, the device thread's plug) the later one's folder wins.
void CQMDevice::restartDeviceLog() {
    std::lock_guard guard(logMutex_);
    std::string folder;
    if (readConfigurationFolder(folder))
        log_.Start(folder, settings::serialName(serial()) + " - ");
    else if (log_.IsRunning())
        log_.Stop();
}

void CQMDevice::LoadCacheData(const std::string& serialNumber) {
    {
        std::lock_guard guard(identityMutex_);
        identity_.serial = serialNumber;
    }
    restartDeviceLog();

    registry::Key key;
    if (env_.registry.openKey(registry::Hive::LocalMachine, deviceKeyPath(),
                              registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS) {
        return;
    }
    log_.Log(leInfo, "    Open cache Device Data");
    auto load = [&](const char* valueName, std::string DeviceIdentity::*field, const char* line) {
        std::string loaded;
        {
            std::lock_guard guard(identityMutex_);
            if (auto value = registry::readString(key, valueName))
                identity_.*field = *value;
            loaded = identity_.*field;
        }
        log_.Log(leInfo, "    %s %s", line, loaded.c_str());
    };
    load("Name", &DeviceIdentity::name, "Name");
    load("ContainerID", &DeviceIdentity::containerId, "ContainerID");
    load("FriendlyName", &DeviceIdentity::friendlyName, "FriendlyName");
    load("Description", &DeviceIdentity::description, "Description");

    const settings::Model model = settings::modelFromProductName(productName());
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (!settings::hasSetting(model, info.setting, settings::Place::RegistryCache))
            continue;
        Byte value = 0;
        {
            std::lock_guard guard(settingsMutex_);
            if (auto stored = registry::readDword(key, info.registryName)) {
                settings_[info.setting] = static_cast<Byte>(*stored & 0xFF);
            }
            value = settings_[info.setting];
        }
        log_.Log(leInfo, "    %.*s 0x%02x", static_cast<int>(info.registryName.size()),
                 info.registryName.data(), value);
    }
}

void CQMDevice::SetIdentity(const std::string& serialNumber, const std::string& productNameText) {
    {
        std::lock_guard guard(identityMutex_);
        identity_.serial = serialNumber;
        identity_.name = productNameText;
    }
    registry::Key key;
    if (env_.registry.createKey(registry::Hive::LocalMachine, deviceKeyPath(),
                                registry::Access::ReadWrite, key) == registry::ERROR_SUCCESS) {
        reportCacheWrite(registry::writeString(key, "Name", productNameText), "Name");
    }
}

void CQMDevice::reportCacheWrite(long status, std::string_view name) {
    if (status != registry::ERROR_SUCCESS) {
        log_.Log(leError, "Cache value %.*s not written: %s", static_cast<int>(name.size()),
                 name.data(), registry::statusText(status));
    }
}

void CQMDevice::OpenDeviceLog() {
    restartDeviceLog();
}

void CQMDevice::UpdateCacheData(const std::string& serialNumber) {
    log_.Log(leInfo, "Update Cache Data - real data from device");
    registry::Key key;
    if (env_.registry.createKey(registry::Hive::LocalMachine, cacheKeyPath(serialNumber),
                                registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS) {
        return;
    }
    const DeviceIdentity id = identity();
    reportCacheWrite(registry::writeString(key, "Name", id.name), "Name");
    reportCacheWrite(registry::writeString(key, "ContainerID", id.containerId), "ContainerID");
    reportCacheWrite(registry::writeString(key, "FriendlyName", id.friendlyName), "FriendlyName");
    reportCacheWrite(registry::writeString(key, "Description", id.description), "Description");
    const settings::DeviceSettings values = settingsSnapshot();
    const settings::Model model = settings::modelFromProductName(id.name);
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (!settings::hasSetting(model, info.setting, settings::Place::RegistryCache))
            continue;
        reportCacheWrite(registry::writeDword(key, info.registryName, values[info.setting]),
                         info.registryName);
        log_.Log(leInfo, "    %.*s 0x%02x", static_cast<int>(info.registryName.size()),
                 info.registryName.data(), values[info.setting]);
    }
    log_.Log(leInfo, "----------  UpdateCacheData  ------------");
}

void CQMDevice::StartDevice(int index) {
    std::lock_guard lifecycle(lifecycleMutex_);

    // 1. Time-outs from the configuration key.
    std::uint32_t readTimeout = kDefaultTimeoutMs;
    std::uint32_t writeTimeout = kDefaultTimeoutMs;
    registry::Key config;
    if (env_.registry.openKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                              registry::Access::ReadWrite, config) == registry::ERROR_SUCCESS) {
        readTimeout = registry::readDword(config, "TimeoutRead").value_or(kDefaultTimeoutMs);
        writeTimeout = registry::readDword(config, "TimeoutWrite").value_or(kDefaultTimeoutMs);
        log_.Log(leInfo, "StartDevice - TimeoutRead user = %d", static_cast<int>(readTimeout));
        log_.Log(leInfo, "StartDevice - TimeoutWrite user = %d", static_cast<int>(writeTimeout));
    }

    // 2. Stop whatever runs.
    log_.Log(leInfo, "StartDevice - call StopDevice");
    stopDeviceLocked();

    // 3. Open the channel.
    hiduart::HID_UART_DEVICE handle = hiduart::kNoDevice;
    if (index < 0 ||
        env_.bridges.Open(&handle, static_cast<std::uint32_t>(index), 0, 0) != HID_UART_SUCCESS) {
        return;
    }
    auto channel = std::make_shared<DeviceChannel>(env_.bridges, handle);
    {
        std::lock_guard guard(channelMutex_);
        channel_ = channel;
    }
    bridgeIndex_.store(index);
    log_.Log(leInfo, "StartDevice - HidUart_Open - OK");

    // 4. Configure the UART.
    if (env_.bridges.SetUartConfig(handle, kBaudRate, hiduart::HID_UART_EIGHT_DATA_BITS,
                                   hiduart::HID_UART_NO_PARITY, hiduart::HID_UART_SHORT_STOP_BIT,
                                   hiduart::HID_UART_NO_FLOW_CONTROL) != HID_UART_SUCCESS) {
        return;
    }
    log_.Log(leInfo, "StartDevice - HidUart_SetUartConfig - OK");

    // 5. Vendor and product id of the opened bridge.
    std::string vid, pid;
    // A string the bridge does not give stays empty, and the container id lookup is skipped.
    if (openedString(hiduart::HID_UART_GET_VID_STR, vid) != S_OK)
        vid.clear();
    if (openedString(hiduart::HID_UART_GET_PID_STR, pid) != S_OK)
        pid.clear();
    {
        std::lock_guard guard(identityMutex_);
        vendorId_ = vid;
        productId_ = pid;
    }
    log_.Log(leInfo, "StartDevice - HidUart_GetOpenedString - HID_UART_GET_VID_STR: %s",
             vid.c_str());
    log_.Log(leInfo, "StartDevice - HidUart_GetOpenedString - HID_UART_GET_PID_STR: %s",
             pid.c_str());

    // 6. The container id, looked up once when not cached.
    DeviceIdentity id = identity();
    if (id.containerId.empty() && !id.serial.empty() && !vid.empty() && !pid.empty()) {
        if (auto found = env_.endpoints.usbContainerId(vid, pid, id.serial)) {
            {
                std::lock_guard guard(identityMutex_);
                identity_.containerId = *found;
            }
            registry::Key key;
            if (env_.registry.createKey(registry::Hive::LocalMachine, deviceKeyPath(),
                                        registry::Access::ReadWrite,
                                        key) == registry::ERROR_SUCCESS) {
                reportCacheWrite(registry::writeString(key, "ContainerID", *found), "ContainerID");
            }
            id.containerId = *found;
        }
    }
    log_.Log(leInfo, "StartDevice - ContainerID: %s", id.containerId.c_str());

    // 7. Time-outs of the channel.
    std::uint32_t currentRead = 0, currentWrite = 0;
    const bool got =
        env_.bridges.GetTimeouts(handle, &currentRead, &currentWrite) == HID_UART_SUCCESS;
    log_.Log(got ? leInfo : leError, "StartDevice - ReadTimeout = %d msec;  WriteTimeout = %d msec",
             static_cast<int>(currentRead), static_cast<int>(currentWrite));
    const bool set =
        env_.bridges.SetTimeouts(handle, readTimeout, writeTimeout) == HID_UART_SUCCESS;
    log_.Log(set ? leInfo : leError,
             "StartDevice - HidUart_SetTimeouts set user data Read = %d msec; Write = %d msec",
             static_cast<int>(readTimeout), static_cast<int>(writeTimeout));

    // 8. The initial read.
    if (!initialReadRunning()) {
        log_.Log(leInfo, "StartDevice - Start initialize device actual data (thread InitProc)");
        joinFinishedRuns();
        InitRun run;
        run.finished = std::make_shared<Event>(env_.clock, Event::Reset::Manual);
        run.running = std::make_shared<std::atomic<bool>>(true);
        {
            std::lock_guard guard(runFlagMutex_);
            runFlag_ = run.running;
            lastRunFinished_ = run.finished;
        }
        run.thread = std::jthread(
            [this, finished = run.finished, running = run.running](std::stop_token stop) {
                InitProc(std::move(stop), *running);
                finished->set();
            });
        initRun_ = std::move(run);
    }
}

void CQMDevice::StopDevice() {
    std::lock_guard lifecycle(lifecycleMutex_);
    stopDeviceLocked();
}

void CQMDevice::stopDeviceLocked() {
    log_.Log(leInfo, ">>>> StopDevice - Close Initialize Thread");
    stopInitialRead();
    {
        // The channel closes as soon as no exchange uses it.
        std::lock_guard guard(channelMutex_);
        channel_.reset();
    }
    bridgeIndex_.store(-1);
    log_.Log(leInfo, ">>>> StopDevice - Device closed\n");
}

// Asks a running initial read to end and waits for it a bounded time; a run that has not ended
// by then is kept and joined later, never detached.
void CQMDevice::stopInitialRead() {
    {
        std::lock_guard guard(runFlagMutex_);
        if (runFlag_)
            runFlag_->store(false);
        runFlag_.reset();
    }
    if (!initRun_)
        return;
    initRun_->thread.request_stop();
    if (initRun_->finished->waitFor(kInitStopWait)) {
        initRun_.reset();  // joins at once: the thread has finished
    } else {
        abandonedRuns_.push_back(std::move(*initRun_));
        initRun_.reset();
    }
}

void CQMDevice::joinFinishedRuns() {
    std::erase_if(abandonedRuns_, [](const InitRun& run) { return run.finished->isSet(); });
}

bool CQMDevice::initialReadRunning() const {
    std::lock_guard guard(runFlagMutex_);
    return runFlag_ && runFlag_->load();
}

bool CQMDevice::waitInitialReadEnded(Duration timeout) const {
    std::shared_ptr<Event> finished;
    {
        std::lock_guard guard(runFlagMutex_);
        finished = lastRunFinished_;
    }
    return !finished || finished->waitFor(timeout);
}

void CQMDevice::InitProc(std::stop_token stop, std::atomic<bool>& running) {
    log_.Log(leInfo, "Start device initialize - thread InitProc");
    const settings::Model model = settings::modelFromProductName(productName());
    auto reads = [&](settings::SettingGroup group) {
        return settings::hasGroup(model, group, settings::Place::DeviceRead);
    };
    // Runs one step; false ends the run (a failure is logged, a stop is not).
    auto step = [&](const char* text, auto&& call) {
        if (stop.stop_requested() || !running.load())
            return false;
        log_.Log(leInfo, "%s", text);
        const HRESULT hr = call();
        if (hr == S_OK)
            return true;
        if (hr != sdk::E_ABORT)
            log_.Log(leError, "%s", text);
        return false;
    };

    bool ok = true;
    if (reads(settings::SettingGroup::Direction)) {
        ok = step("InitProc - GetDirection", [&] {
            Byte v = 0, z = 0, b = 0;
            const HRESULT hr = protocol_.GetDirection(v, z, b, stop);
            if (hr == S_OK)
                setSettings({{Setting::DirVolume, v}, {Setting::Zoom, z}, {Setting::Beam, b}});
            return hr;
        });
    } else {
        setSettings({{Setting::DirVolume, 0}, {Setting::Zoom, 0}, {Setting::Beam, 0}});
    }
    ok = ok && step("InitProc - GetStatusDSP", [&] {
             Byte v = 0;
             const HRESULT hr = protocol_.GetStatusDSP(v, stop);
             if (hr == S_OK)
                 setSettings({{Setting::Volume, v}});
             return hr;
         });
    ok = ok && step("InitProc - GetStatusALC", [&] {
             Byte r = 0, m = 0, ref = 0, v = 0;
             const HRESULT hr = protocol_.GetStatusALC(r, m, ref, v, stop);
             if (hr == S_OK) {
                 setSettings({{Setting::ALC_RECOVERY, r},
                              {Setting::ALC_MODE, m},
                              {Setting::ALC_REF_VALUE, ref},
                              {Setting::ALC_VOLUME, v}});
             }
             return hr;
         });
    ok = ok && step("InitProc - GetStatusHPF_LPF", [&] {
             Byte h1 = 0, h2 = 0, l = 0;
             const HRESULT hr = protocol_.GetStatusHPF_LPF(h1, h2, l, stop);
             if (hr == S_OK)
                 setSettings({{Setting::HPF_1, h1}, {Setting::HPF_2, h2}, {Setting::LPF, l}});
             return hr;
         });
    ok = ok && step("InitProc - GetStatusEQ_NOTCH_GAIN", [&] {
             Byte notch = 0, gains[5] = {};
             const HRESULT hr = protocol_.GetStatusEQ_NOTCH_GAIN(notch, gains, stop);
             if (hr == S_OK) {
                 std::lock_guard guard(settingsMutex_);
                 settings_[Setting::EQ_NOTCH] = notch;
                 for (int b = 1; b <= 5; ++b)
                     settings_[settings::eqGain(b)] = gains[b - 1];
             }
             return hr;
         });
    ok = ok && step("InitProc - GetStatusEQ_POWER_BW_MODE", [&] {
             Byte power = 0, modes[5] = {};
             const HRESULT hr = protocol_.GetStatusEQ_POWER_BW_MODE(power, modes, stop);
             if (hr == S_OK) {
                 std::lock_guard guard(settingsMutex_);
                 settings_[Setting::EQ_POWER] = power;
                 for (int b = 1; b <= 5; ++b)
                     settings_[settings::eqMode(b)] = modes[b - 1];
             }
             return hr;
         });
    if (ok && reads(settings::SettingGroup::OutVolume)) {
        ok = step("InitProc - Get_Ext_OutVolume", [&] {
            Byte v = 0;
            const HRESULT hr = protocol_.Get_Ext_OutVolume(v, stop);
            if (hr == S_OK)
                setSettings({{Setting::OUT_VOLUME, v}});
            return hr;
        });
    } else if (ok) {
        setSettings({{Setting::OUT_VOLUME, 0}});
    }
    if (ok && reads(settings::SettingGroup::InputGain)) {
        ok = step("InitProc - Get_Ext_TPA", [&] {
            Byte v = 0;
            const HRESULT hr = protocol_.Get_Ext_TPA(v, stop);
            if (hr == S_OK)
                setSettings({{Setting::TPA, v}});
            return hr;
        });
    } else if (ok) {
        setSettings({{Setting::TPA, 0}});
    }

    if (ok && !stop.stop_requested()) {
        UpdateCacheData(serial());
        initialized_.store(true);
        if (readFinished_)
            readFinished_(*this, stop);
    } else {
        running.store(false);
    }
}

HRESULT CQMDevice::openedString(std::uint32_t kind, std::string& out) {
    const auto channel = openChannel();
    if (!channel)
        return E_NOINTERFACE;
    char buffer[hiduart::HID_UART_DEVICE_STRLEN] = {};
    if (env_.bridges.GetOpenedString(channel->handle(), buffer, kind) != HID_UART_SUCCESS) {
        return E_NOINTERFACE;
    }
    buffer[sizeof buffer - 1] = '\0';
    out = buffer;
    return S_OK;
}

bool CQMDevice::storeSetting(Setting setting, std::uint8_t value) {
    registry::Key key;
    if (env_.registry.createKey(registry::Hive::LocalMachine, deviceKeyPath(),
                                registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS ||
        registry::writeDword(key, settings::settingInfo(setting).registryName, value) !=
            registry::ERROR_SUCCESS) {
        return false;
    }
    std::lock_guard guard(settingsMutex_);
    settings_[setting] = value;
    return true;
}

std::optional<std::string> CQMDevice::cachedString(std::string_view valueName) const {
    registry::Key key;
    if (env_.registry.openKey(registry::Hive::LocalMachine, deviceKeyPath(), registry::Access::Read,
                              key) != registry::ERROR_SUCCESS)
        return std::nullopt;
    return registry::readString(key, valueName);
}

void CQMDevice::restartDevice() {
    StartDevice(bridgeIndex_.load());
}

// ---- IQMDevice -----------------------------------------------------------------------------

HRESULT CQMDevice::GetDeviceIndexHID(int& nDeviceIndex) {
    nDeviceIndex = -1;
    const std::string mine = serial();
    if (mine.empty())
        return E_INVALIDARG;
    std::uint32_t count = 0;
    if (env_.bridges.GetNumDevices(&count, 0, 0) != HID_UART_SUCCESS)
        return E_INVALIDARG;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string sn, manufacturer;
        if (!bridgeString(env_.bridges, i, hiduart::HID_UART_GET_SERIAL_STR, sn) ||
            !bridgeString(env_.bridges, i, hiduart::HID_UART_GET_MANUFACTURER_STR, manufacturer)) {
            continue;
        }
        if (acceptedManufacturer(manufacturer) && text::asciiIEquals(sn, mine)) {
            nDeviceIndex = static_cast<int>(i);
            return S_OK;
        }
    }
    return E_INVALIDARG;
}

HRESULT CQMDevice::GetDeviceSN(std::string& out) {
    out = serial();
    return S_OK;
}

HRESULT CQMDevice::IsStarted() {
    return started() ? S_OK : S_FALSE;
}

HRESULT CQMDevice::IsInitialized() {
    return initialized_.load() ? S_OK : S_FALSE;
}

HRESULT CQMDevice::GetDeviceXML(std::string& out) {
    out = buildDeviceXml(identity(), settingsSnapshot());
    return initialized_.load() ? S_OK : S_FALSE;
}

HRESULT CQMDevice::GetName(std::string& out) {
    out = productName();
    return S_OK;
}

HRESULT CQMDevice::GetVendorID(std::string& out) {
    return openedString(hiduart::HID_UART_GET_VID_STR, out);
}
HRESULT CQMDevice::GetProductID(std::string& out) {
    return openedString(hiduart::HID_UART_GET_PID_STR, out);
}
HRESULT CQMDevice::GetHardwareID(std::string& out) {
    return openedString(hiduart::HID_UART_GET_PATH_STR, out);
}

HRESULT CQMDevice::GetHardwareVer(std::string& api, std::string& firmware) {
    return protocol_.GetHardwareVer(api, firmware);
}

HRESULT CQMDevice::GetContainerID(std::string& out) {
    std::lock_guard guard(identityMutex_);
    if (!identity_.containerId.empty())
        out = identity_.containerId;
    return S_OK;
}

HRESULT CQMDevice::SetFriendlyName(const std::string& text) {
    {
        std::lock_guard guard(identityMutex_);
        identity_.friendlyName = text;
    }
    registry::Key key;
    if (env_.registry.createKey(registry::Hive::LocalMachine, deviceKeyPath(),
                                registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS ||
        registry::writeString(key, "FriendlyName", text) != registry::ERROR_SUCCESS) {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT CQMDevice::GetFriendlyName(std::string& out) {
    std::lock_guard guard(identityMutex_);
    out = identity_.friendlyName;
    return S_OK;
}

HRESULT CQMDevice::SetDescription(const std::string& text) {
    {
        std::lock_guard guard(identityMutex_);
        identity_.description = text;
    }
    registry::Key key;
    if (env_.registry.createKey(registry::Hive::LocalMachine, deviceKeyPath(),
                                registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS ||
        registry::writeString(key, "Description", text) != registry::ERROR_SUCCESS) {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT CQMDevice::GetDescription(std::string& out) {
    std::lock_guard guard(identityMutex_);
    out = identity_.description;
    return S_OK;
}

HRESULT CQMDevice::ResetDefault() {
    return protocol_.ResetDefault();
}
HRESULT CQMDevice::ResetStatus() {
    return protocol_.ResetStatus();
}
HRESULT CQMDevice::ResetWatchDog() {
    return protocol_.ResetWatchDog();
}
HRESULT CQMDevice::GetLastStatus() {
    return protocol_.GetLastStatus();
}
HRESULT CQMDevice::GetStatusDSP(Byte& v) {
    return protocol_.GetStatusDSP(v);
}
HRESULT CQMDevice::GetStatusALC(Byte& r, Byte& m, Byte& ref, Byte& v) {
    return protocol_.GetStatusALC(r, m, ref, v);
}
HRESULT CQMDevice::GetStatusHPF_LPF(Byte& h1, Byte& h2, Byte& l) {
    return protocol_.GetStatusHPF_LPF(h1, h2, l);
}
HRESULT CQMDevice::GetStatusEQ_NOTCH_GAIN(Byte& n, Byte& g1, Byte& g2, Byte& g3, Byte& g4,
                                          Byte& g5) {
    Byte gains[5] = {g1, g2, g3, g4, g5};
    const HRESULT hr = protocol_.GetStatusEQ_NOTCH_GAIN(n, gains);
    if (hr == S_OK) {
        g1 = gains[0], g2 = gains[1], g3 = gains[2], g4 = gains[3], g5 = gains[4];
    }
    return hr;
}
HRESULT CQMDevice::GetStatusEQ_POWER_BW_MODE(Byte& p, Byte& m1, Byte& m2, Byte& m3, Byte& m4,
                                             Byte& m5) {
    Byte modes[5] = {m1, m2, m3, m4, m5};
    const HRESULT hr = protocol_.GetStatusEQ_POWER_BW_MODE(p, modes);
    if (hr == S_OK) {
        m1 = modes[0], m2 = modes[1], m3 = modes[2], m4 = modes[3], m5 = modes[4];
    }
    return hr;
}
HRESULT CQMDevice::SetDirectionVolume(Byte v) {
    return protocol_.SetDirectionVolume(v);
}
HRESULT CQMDevice::GetDirection(Byte& v, Byte& z, Byte& b) {
    return protocol_.GetDirection(v, z, b);
}
HRESULT CQMDevice::SetVolume(Byte v) {
    return protocol_.SetVolume(v);
}
HRESULT CQMDevice::SetVolumeNorm() {
    return protocol_.SetVolumeNorm();
}
HRESULT CQMDevice::SetVolumeMute() {
    return protocol_.SetVolumeMute();
}
HRESULT CQMDevice::SetZoom(Byte v) {
    return protocol_.SetZoom(v);
}
HRESULT CQMDevice::SetBeam(Byte v) {
    return protocol_.SetBeam(v);
}
HRESULT CQMDevice::Set_LPF(Byte v) {
    return protocol_.Set_LPF(v);
}
HRESULT CQMDevice::Set_HPF_1(Byte v) {
    return protocol_.Set_HPF_1(v);
}
HRESULT CQMDevice::Set_HPF_2(Byte v) {
    return protocol_.Set_HPF_2(v);
}
HRESULT CQMDevice::Set_EQ_NOTCH(Byte v) {
    return protocol_.Set_EQ_NOTCH(v);
}
HRESULT CQMDevice::Set_EQ_GAIN(Byte band, Byte gain) {
    return protocol_.Set_EQ_GAIN(band, gain);
}
HRESULT CQMDevice::Set_EQ_POWER(Byte v) {
    return protocol_.Set_EQ_POWER(v);
}
HRESULT CQMDevice::Set_EQ_BAND_WIDTH(Byte band, int frequency, int width) {
    return protocol_.Set_EQ_BAND_WIDTH(band, frequency, width);
}
HRESULT CQMDevice::Set_EQ_BAND_MODE(Byte band, Byte mode) {
    return protocol_.Set_EQ_BAND_MODE(band, mode);
}
HRESULT CQMDevice::Set_ALC_RECOVERY(Byte v) {
    return protocol_.Set_ALC_RECOVERY(v);
}
HRESULT CQMDevice::Set_ALC_MODE(Byte v) {
    return protocol_.Set_ALC_MODE(v);
}
HRESULT CQMDevice::Set_ALC_REF_VALUE(Byte v) {
    return protocol_.Set_ALC_REF_VALUE(v);
}
HRESULT CQMDevice::Get_Ext_OutVolume(Byte& v) {
    return protocol_.Get_Ext_OutVolume(v);
}
HRESULT CQMDevice::Set_Ext_OutVolume(Byte v) {
    return protocol_.Set_Ext_OutVolume(v);
}
HRESULT CQMDevice::Get_Ext_TPA(Byte& v) {
    return protocol_.Get_Ext_TPA(v);
}
HRESULT CQMDevice::Set_Ext_TPA(Byte v) {
    return protocol_.Set_Ext_TPA(v);
}

}  // namespace qm::core
