#include "service/core/quillmere_sdk.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/sdk/identifiers.h"
#include "common/sdk/snapshot_enumerator.h"
#include "common/settings/serial_name.h"
#include "common/settings/system_paths.h"
#include "common/text/text.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "service/core/auto_profile.h"
#include "service/core/late_release.h"

namespace qm::core {

using namespace std::chrono_literals;
using sdk::E_INVALIDARG;
using sdk::E_POINTER;
using sdk::HRESULT;
using sdk::leError;
using sdk::leInfo;
using sdk::leWarning;
using sdk::S_FALSE;
using sdk::S_OK;

namespace {

bool createFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

// Makes the folder with its parents when missing; S_OK once it is a folder the service can
// write in, else why not.
HRESULT makeLogFolder(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        if (std::filesystem::exists(folder, error))
            return sdk::HRESULT_FROM_WIN32(sdk::ERROR_DIRECTORY);
        std::filesystem::create_directories(folder, error);
        if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
            error == std::errc::read_only_file_system) {
            return sdk::E_ACCESSDENIED;
        }
        if (!std::filesystem::is_directory(folder, error))
            return sdk::HRESULT_FROM_WIN32(sdk::ERROR_PATH_NOT_FOUND);
    }
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? S_OK : sdk::E_ACCESSDENIED;
}

std::string plain(const sdk::Guid& id) {
    return id.toPlainString();
}

}  // namespace

std::shared_ptr<CQuillmereSDK> CQuillmereSDK::create(DeviceEnvironment environment,
                                                     DeviceThread thread) {
    LateRelease::instance().reap();
    std::shared_ptr<CQuillmereSDK> manager(new CQuillmereSDK(environment), &CQuillmereSDK::release);
    manager->self_ = manager;
    manager->FinalConstruct(thread);
    return manager;
}

// The last reference is gone: FinalRelease, then the object itself, unless its device thread
// is still busy after FinalRelease's bounded wait. Then the object waits for the thread to end
// before it is destroyed, while the caller goes on.
void CQuillmereSDK::release(CQuillmereSDK* manager) {
    if (manager->FinalRelease()) {
        delete manager;
    } else {
        LateRelease::instance().adopt(manager->deviceThreadEnded_, [manager] { delete manager; });
    }
}

CQuillmereSDK::CQuillmereSDK(DeviceEnvironment environment)
    : env_(environment), log_(environment.clock, environment.logStorage) {}

CQuillmereSDK::~CQuillmereSDK() = default;

std::string CQuillmereSDK::readLogFolderOrDefault() {
    registry::Key config;
    if (env_.registry.createKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                                registry::Access::ReadWrite, config) != registry::ERROR_SUCCESS) {
        return settings::defaultLogFolder();
    }
    if (auto folder = registry::readString(config, "LogFolder"))
        return *folder;
    std::string folder = settings::defaultLogFolder();
    // Unwritten, the default is simply chosen again at the next start.
    static_cast<void>(registry::writeString(config, "LogFolder", folder));
    createFolder(folder);
    return folder;
}

void CQuillmereSDK::FinalConstruct(DeviceThread thread) {
    // 1. Configuration and the manager's log.
    const std::string folder = readLogFolderOrDefault();
    {
        std::lock_guard guard(folderMutex_);
        logFolder_ = folder;
    }
    log_.Start(folder, "qmMicHost");
    registry::Key config;
    const bool haveConfig =
        env_.registry.openKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                              registry::Access::ReadWrite, config) == registry::ERROR_SUCCESS;
    if (haveConfig) {
        timerSetting_ = registry::readDword(config, "TimerUpdate").value_or(0);
        deviceMode_ = registry::readDword(config, "DeviceMode").value_or(0);
    }
    log_.Log(leInfo, "CONSTRUCTOR >>>> FinalConstruct()");

    // 2. Device mode 1 forgets every cached microphone.
    std::vector<std::string> subkeys;
    if (haveConfig) {
        if (deviceMode_ != 0) {
            if (config.enumSubkeys(subkeys) != registry::ERROR_SUCCESS)
                subkeys.clear();
            for (const std::string& name : subkeys) {
                if (config.deleteTree(name) != registry::ERROR_SUCCESS)
                    break;
            }
        }
        subkeys.clear();
        if (config.enumSubkeys(subkeys) != registry::ERROR_SUCCESS)
            subkeys.clear();
    }

    // 3. The cached microphones, each under its serial's name (serial_name.h).
    for (const std::string& name : subkeys) {
        const std::optional<std::string> cachedSerial = settings::serialFromName(name);
        if (!cachedSerial) {
            log_.Log(leWarning, "CONSTRUCTOR >>>> Skip cache key %s [not a serial number]",
                     name.c_str());
            continue;
        }
        const std::string& serial = *cachedSerial;
        auto device = createDevice();
        {
            std::lock_guard guard(devicesMutex_);
            devices_.push_back(device);
        }
        device->LoadCacheData(serial);
        log_.Log(leInfo, "CONSTRUCTOR >>>> Load Device S/N: %s [from registry]", serial.c_str());
    }

    // 4. The bridges present now.
    std::uint32_t count = 0;
    if (env_.bridges.GetNumDevices(&count, 0, 0) == hiduart::HID_UART_SUCCESS) {
        log_.Log(leInfo,
                 "CONSTRUCTOR >>>> Num of HID UART devices: %d [call HidUart_GetNumDevices]",
                 static_cast<int>(count));
        for (std::uint32_t index = 0; index < count; ++index) {
            const int i = static_cast<int>(index);
            auto read = [&](std::uint32_t kind, std::string& out) {
                return readBridgeString(env_.bridges, index, kind, out);
            };
            std::string manufacturer, serial, product;
            const auto m = read(hiduart::HID_UART_GET_MANUFACTURER_STR, manufacturer);
            if (m == hiduart::HID_UART_SUCCESS) {
                if (text::asciiIEquals(manufacturer, "Logitech"))
                    continue;
                log_.Log(leInfo,
                         "CONSTRUCTOR >> HID UART device: %d -> HID_UART_GET_MANUFACTURER_STR - "
                         "HID_UART_SUCCESS",
                         i);
            }
            const auto s = read(hiduart::HID_UART_GET_SERIAL_STR, serial);
            if (s == hiduart::HID_UART_SUCCESS) {
                log_.Log(leInfo,
                         "CONSTRUCTOR >> HID UART device: %d -> HID_UART_GET_SERIAL_STR - "
                         "HID_UART_SUCCESS",
                         i);
            }
            const auto p = read(hiduart::HID_UART_GET_PRODUCT_STR, product);
            if (p == hiduart::HID_UART_SUCCESS) {
                log_.Log(leInfo,
                         "CONSTRUCTOR >> HID UART device: %d -> HID_UART_GET_PRODUCT_STR - "
                         "HID_UART_SUCCESS",
                         i);
            }
            if (!bridgeStringRead(m) || !bridgeStringRead(s) || !bridgeStringRead(p))
                continue;
            log_.Log(leInfo,
                     "CONSTRUCTOR >> HID UART device: %d; Manufacturer %s;  Product %s; SN %s", i,
                     manufacturer.c_str(), product.c_str(), serial.c_str());
            if (!isAcceptedManufacturer(manufacturer) || serial.empty() || product.empty())
                continue;

            bool matched = false;
            for (const auto& device : devices()) {
                if (!text::asciiIEquals(device->serial(), serial))
                    continue;
                matched = true;
                device->setBridgeIndex(i);
                log_.Log(leInfo, "CONSTRUCTOR >> Find cache HID UART device: %d  Name: %s  SN: %s",
                         i, product.c_str(), serial.c_str());
                queueRecord(QM_DEVICE{product, serial, i, false, false, device});
                log_.Log(leInfo, "CONSTRUCTOR >> Device SN:%s [add to queue]", serial.c_str());
            }
            if (!matched) {
                queueRecord(QM_DEVICE{product, serial, i, false, false, nullptr});
                log_.Log(
                    leInfo,
                    "CONSTRUCTOR >> Device is not cached; Index:%d  Name:%s SN:%s [add to queue]",
                    i, product.c_str(), serial.c_str());
            }
        }
    }

    // 5. The device thread.
    initialized_.store(true);
    log_.Log(leInfo, "CONSTRUCTOR >>>> Start device thread for check and update");
    if (thread == DeviceThread::LeaveOut)
        return;
    deviceThreadEnded_ = std::make_shared<Event>(env_.clock, Event::Reset::Manual);
    deviceThread_ = std::jthread([this, ended = deviceThreadEnded_](const std::stop_token& stop) {
        DeviceProc(stop);
        ended->set();
    });
}

bool CQuillmereSDK::FinalRelease() {
    bool ended = true;
    if (deviceThread_.joinable()) {
        deviceThread_.request_stop();
        messages_.post({ThreadMessage::Quit, 0});
        ended = deviceThreadEnded_->waitFor(kThreadStopWait);
        if (!ended) {
            // The thread is busy elsewhere (a bridge, a client's sink): the release goes on, and
            // the object is destroyed once the thread has ended (see release()).
            log_.Log(leInfo, "FinalRelease >>> Stop device check and update thread");
        }
    }
    log_.Log(leInfo, "FinalRelease >>> UnRegister Device Notification");
    std::vector<std::shared_ptr<CQMDevice>> list;
    {
        std::lock_guard guard(devicesMutex_);
        list.swap(devices_);
    }
    for (auto& device : list) {
        device->StopDevice();
        log_.Log(leInfo, "FinalRelease >>> Stop Device: %s", device->serial().c_str());
        device.reset();
    }
    log_.Log(leInfo, "FinalRelease =>>> All devices was removed");
    for (const QM_DEVICE& record : takeRecords()) {
        log_.Log(leInfo, "FinalRelease =>>> Clear queue data SN:%s\n", record.SN.c_str());
    }
    log_.Log(leInfo, "FinalRelease =>>> Close LOG file\n");
    log_.Stop();
    return ended;
}

void CQuillmereSDK::DeviceProc(const std::stop_token& stop) {
    postUpdate(0);
    TimePoint nextTick = env_.clock.now() + 1ms;
    while (!stop.stop_requested()) {
        if (auto message = messages_.waitUntil(nextTick)) {
            // Handle every waiting message.
            std::vector<ThreadMessage> batch{*message};
            for (auto& more : messages_.drain())
                batch.push_back(more);
            for (const ThreadMessage& m : batch) {
                if (m.kind == ThreadMessage::Quit) {
                    log_.Log(leInfo, "THREAD =>> DeviceProc - Shutdown [Command: WM_QUIT]");
                    return;
                }
                log_.Log(leInfo, "THREAD =>> DeviceProc - Update [Command: WM_UPDATE_QM_DEVICE]");
                DoUpdateDeviceList(m.wParam);
            }
            continue;
        }
        // The timer fired; ticks missed while busy are merged into one.
        const TimePoint now = env_.clock.now();
        while (nextTick <= now)
            nextTick += kTimerPeriod;
        DoUpdateDeviceList(1);
    }
    log_.Log(leInfo, "THREAD =>> DeviceProc - Shutdown [Command: WM_QUIT]");
}

void CQuillmereSDK::postUpdate(int wParam) {
    messages_.post({ThreadMessage::Update, wParam});
}

std::shared_ptr<CQMDevice> CQuillmereSDK::createDevice() {
    auto device = std::make_shared<CQMDevice>(env_);
    device->setReadFinishedHook([env = env_, self = self_](CQMDevice& d, std::stop_token stop) {
        const auto state = applyAutomaticProfile(d, env, std::move(stop));
        if (!state)
            return;
        if (const auto manager = self.lock())
            manager->DoUpdateNotify(d.serial(), *state);
    });
    return device;
}

std::vector<std::shared_ptr<CQMDevice>> CQuillmereSDK::devices() const {
    std::lock_guard guard(devicesMutex_);
    return devices_;
}

std::shared_ptr<CQMDevice> CQuillmereSDK::findBySerial(const std::string& serial) const {
    std::lock_guard guard(devicesMutex_);
    for (const auto& device : devices_) {
        if (text::asciiIEquals(device->serial(), serial))
            return device;
    }
    return nullptr;
}

std::shared_ptr<CQMDevice> CQuillmereSDK::findByContainer(const sdk::Guid& containerId) const {
    for (const auto& device : devices()) {
        std::string text;
        if (device->GetContainerID(text) != sdk::S_OK)
            continue;
        if (auto id = sdk::Guid::parseContainerId(text); id && *id == containerId)
            return device;
    }
    return nullptr;
}

void CQuillmereSDK::queueRecord(QM_DEVICE record) {
    std::lock_guard guard(queuesMutex_);
    records_.push_back(std::move(record));
}

std::vector<QM_DEVICE> CQuillmereSDK::takeRecords() {
    std::lock_guard guard(queuesMutex_);
    std::vector<QM_DEVICE> out(std::make_move_iterator(records_.begin()),
                               std::make_move_iterator(records_.end()));
    records_.clear();
    return out;
}

// A container id whose bridge was found needs no further look: an endpoint that was added and
// then became active would otherwise be found a second time at the next tick and announced
// again (or brought back after a client removed its microphone).
void CQuillmereSDK::dropContainer(const sdk::Guid& id) {
    std::lock_guard guard(queuesMutex_);
    std::erase(containers_, id);
}

std::vector<sdk::Guid> CQuillmereSDK::takeContainers() {
    std::lock_guard guard(queuesMutex_);
    std::vector<sdk::Guid> out(containers_.begin(), containers_.end());
    containers_.clear();
    return out;
}

// An endpoint that is added and becomes active reports twice; its container id is queued once,
// so its bridge is not started twice when it turns up.
void CQuillmereSDK::pushContainer(const sdk::Guid& id) {
    std::lock_guard guard(queuesMutex_);
    if (std::find(containers_.begin(), containers_.end(), id) == containers_.end()) {
        containers_.push_back(id);
    }
}

bool CQuillmereSDK::FindHidUartDevice(const std::string& containerId, QM_DEVICE& record) {
    const auto wanted = sdk::Guid::parseContainerId(containerId);
    if (!wanted)
        return false;
    const auto bridge = BridgeScan::run(env_.bridges, env_.endpoints, env_.clock).find(*wanted);
    if (!bridge)
        return false;
    record = QM_DEVICE{bridge->product, bridge->serial, static_cast<int>(bridge->index),
                       false,           false,          nullptr};
    return true;
}

void CQuillmereSDK::DoDeviceAdded(const std::string& endpointId) {
    const auto id = env_.endpoints.containerIdOfEndpoint(endpointId);
    if (!id)
        return;
    pushContainer(*id);
    log_.Log(leInfo, "DoDeviceAdded => [New Device added to queue] Container ID: %s",
             plain(*id).c_str());
    postUpdate(0);
}

void CQuillmereSDK::DoDeviceChange(const std::string& endpointId, std::uint32_t newState) {
    if (newState == endpoints::DEVICE_STATE_ACTIVE) {
        const auto id = env_.endpoints.containerIdOfEndpoint(endpointId);
        if (!id)
            return;
        QM_DEVICE record;
        if (auto device = findByContainer(*id)) {
            const std::string serial = device->serial();
            if (FindHidUartDevice(id->toBracedString(), record)) {
                record.active = true;
                record.inactive = false;
                record.device = device;
                dropContainer(*id);
                queueRecord(record);
                postUpdate(0);
                log_.Log(leInfo, "DoDeviceChange => Active SN:%s [add to queue]", serial.c_str());
            } else {
                log_.Log(leWarning, "DoDeviceChange => Active SN:%s [HID UART device not found]",
                         serial.c_str());
                pushContainer(*id);
                postUpdate(0);
                log_.Log(leInfo,
                         "DoDeviceChange => Add device SN:%s to queue [for try next find HID UART]",
                         serial.c_str());
            }
        } else if (FindHidUartDevice(id->toBracedString(), record)) {
            record.active = true;
            log_.Log(leInfo, "DoDeviceChange => Active SN:%s [New device - add to queue]",
                     record.SN.c_str());
            dropContainer(*id);
            queueRecord(record);
            postUpdate(0);
        } else {
            log_.Log(
                leWarning,
                "DoDeviceChange => Active new device ContainerID:%s [HID UART device not found]",
                plain(*id).c_str());
            pushContainer(*id);
            postUpdate(0);
            log_.Log(leWarning,
                     "DoDeviceChange => Add new device ContainerID:%s to queue [for try next find "
                     "HID UART]",
                     plain(*id).c_str());
        }
    } else if (newState == endpoints::DEVICE_STATE_NOTPRESENT) {
        const auto id = env_.endpoints.containerIdOfEndpoint(endpointId);
        if (!id)
            return;
        if (auto device = findByContainer(*id)) {
            const std::string serial = device->serial();
            queueRecord(QM_DEVICE{device->productName(), serial, device->bridgeIndex(), false, true,
                                  device});
            postUpdate(0);
            log_.Log(leInfo, "DoDeviceChange - Unactive - SN:%s", serial.c_str());
        }
    }
}

// The timer's work, with one scan of the bridges for all of it: every device not started and
// every queued container id is matched against the same scan.
void CQuillmereSDK::timerWork() {
    std::optional<BridgeScan> scan;
    auto bridges = [&]() -> const BridgeScan& {
        if (!scan)
            scan = BridgeScan::run(env_.bridges, env_.endpoints, env_.clock);
        return *scan;
    };

    for (const auto& device : devices()) {
        if (device->started())
            continue;
        if (device->bridgeIndex() == -1) {
            std::string text;
            if (device->GetContainerID(text) != sdk::S_OK)
                continue;
            if (auto id = sdk::Guid::parseContainerId(text)) {
                if (auto bridge = bridges().find(*id)) {
                    device->setBridgeIndex(static_cast<int>(bridge->index));
                }
            }
        }
        // A client may have removed the device meanwhile; a removed device is not started.
        std::lock_guard membership(membershipMutex_);
        const int index = device->bridgeIndex();
        if (index != -1 && isListed(device) && !device->started()) {
            const std::string serial = device->serial();
            log_.Log(leInfo, "DoUpdateDeviceList >> TIMER start device:%d  SN: %s", index,
                     serial.c_str());
            device->StartDevice(index);
            DoUpdateNotify(serial, sdk::QM_NOTIFY_STARTED);
        }
    }

    std::vector<sdk::Guid> kept;
    for (const sdk::Guid& id : takeContainers()) {
        log_.Log(leInfo,
                 "DoUpdateDeviceList => [timer check new device - try pop queue] Container ID: %s",
                 plain(id).c_str());
        if (auto bridge = bridges().find(id)) {
            queueRecord(QM_DEVICE{bridge->product, bridge->serial, static_cast<int>(bridge->index),
                                  false, false, nullptr});
            log_.Log(leInfo, "DoDeviceChange => Active SN:%s [add to queue]",
                     bridge->serial.c_str());
        } else {
            kept.push_back(id);
            log_.Log(leWarning, "DoDeviceChange => Container ID:%s [device not found]",
                     plain(id).c_str());
        }
    }
    for (const sdk::Guid& id : kept) {
        pushContainer(id);
        log_.Log(leWarning,
                 "DoDeviceChange => ReAdd GUID to queue - Container ID:%s [device not found]",
                 plain(id).c_str());
    }
    if (!kept.empty())
        postUpdate(0);
}

void CQuillmereSDK::DoUpdateDeviceList(int fromTimer) {
    if (fromTimer == 1)
        timerWork();
    for (QM_DEVICE& record : takeRecords())
        processRecord(record);
}

void CQuillmereSDK::processRecord(QM_DEVICE& record) {
    const char* name = record.name.c_str();
    const char* sn = record.SN.c_str();
    std::lock_guard membership(membershipMutex_);
    if (auto device = findBySerial(record.SN)) {
        device->setBridgeIndex(record.index);
        if (record.inactive) {
            if (device->started())
                device->StopDevice();
            // The bridge is gone: its index no longer names it, started or not.
            device->setBridgeIndex(-1);
            if (deviceMode_ != 0) {
                removeFromList(device, device->serial(), false);
                log_.Log(leInfo,
                         "DoUpdateDeviceList >> STOP and REMOVE device:%d  Name: %s  SN: %s",
                         record.index, name, sn);
            } else {
                DoUpdateNotify(device->serial(), sdk::QM_NOTIFY_STOPPED);
                log_.Log(leInfo, "DoUpdateDeviceList >> STOP device:%d  Name: %s  SN: %s",
                         record.index, name, sn);
            }
        } else {
            if (!device->started())
                device->StartDevice(record.index);
            DoUpdateNotify(device->serial(), sdk::QM_NOTIFY_STARTED);
            log_.Log(leInfo, "DoUpdateDeviceList >> START device:%d  Name: %s  SN: %s",
                     record.index, name, sn);
        }
        return;
    }
    if (record.inactive)
        return;  // gone before it was handled: a client removed it meanwhile
    auto device = createDevice();
    {
        std::lock_guard guard(devicesMutex_);
        devices_.push_back(device);
    }
    device->setBridgeIndex(record.index);
    device->SetIdentity(record.SN, record.name);
    device->OpenDeviceLog();
    device->StartDevice(record.index);
    device->UpdateCacheData(record.SN);
    DoUpdateNotify(record.SN, sdk::QM_NOTIFY_NEW);
    log_.Log(leInfo, "DoUpdateDeviceList >> NEW device:%d  Name: %s  SN: %s [create and start]",
             record.index, name, sn);
}

void CQuillmereSDK::DoUpdateNotify(const std::string& serial, int state) {
    log_.Log(leInfo, ">> DoUpdateNotify SN: %s STATE: %d", serial.c_str(), state);
    std::vector<std::shared_ptr<sdk::IDeviceNotify>> sinks;
    {
        std::lock_guard guard(sinksMutex_);
        sinks = sinks_;
    }
    for (std::size_t i = 0; i < sinks.size(); ++i) {
        // What a sink answers changes nothing for the others.
        static_cast<void>(sinks[i]->OnDeviceNotify(serial, state));
        log_.Log(leInfo, ">>>> DoUpdateNotify SN: %s STATE: %d  SINK: %d", serial.c_str(), state,
                 static_cast<int>(i));
    }
}

void CQuillmereSDK::deleteCache(const std::string& serial) {
    registry::Key config;
    if (env_.registry.createKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                                registry::Access::ReadWrite, config) == registry::ERROR_SUCCESS) {
        const long status = config.deleteTree(settings::serialName(serial));
        if (status != registry::ERROR_SUCCESS && status != registry::ERROR_FILE_NOT_FOUND) {
            log_.Log(leError, "Cache of %s not deleted: %s", serial.c_str(),
                     registry::statusText(status));
        }
    }
}

bool CQuillmereSDK::isListed(const std::shared_ptr<CQMDevice>& device) const {
    std::lock_guard guard(devicesMutex_);
    return std::find(devices_.begin(), devices_.end(), device) != devices_.end();
}

bool CQuillmereSDK::unlist(const std::shared_ptr<CQMDevice>& device) {
    std::lock_guard guard(devicesMutex_);
    return std::erase(devices_, device) > 0;
}

// The device leaves the list first, under the membership lock: of two removals at once (a
// client's and the device thread's), only one finds it there, stops it and announces it.
bool CQuillmereSDK::removeFromList(const std::shared_ptr<CQMDevice>& device,
                                   const std::string& notifySerial, bool bySerial) {
    {
        std::lock_guard membership(membershipMutex_);
        if (!unlist(device))
            return false;
    }
    const std::string serial = device->serial();
    log_.Log(leInfo, "Remove Device SN %s ...", serial.c_str());
    if (device->started()) {
        device->StopDevice();
        log_.Log(leInfo, "Remove Device SN %s - Device Stop", serial.c_str());
    }
    deleteCache(serial);
    log_.Log(leInfo, "Device SN %s was removed from registry", serial.c_str());
    DoUpdateNotify(notifySerial, sdk::QM_NOTIFY_REMOVED);
    if (bySerial) {
        log_.Log(leInfo, "Device SN %s was removed from array", serial.c_str());
    } else {
        log_.Log(leInfo, "Device SN %s was removed", serial.c_str());
    }
    return true;
}

// ---- IQuillmereSDK -----------------------------------------------------------------------

HRESULT CQuillmereSDK::WriteLog(sdk::qmLogEventType type, const std::string& text) {
    log_.LogText(static_cast<std::uint32_t>(type), text);
    return S_OK;
}

HRESULT CQuillmereSDK::NotifyRelease() {
    std::vector<std::shared_ptr<sdk::IDeviceNotify>> sinks;
    {
        std::lock_guard guard(sinksMutex_);
        sinks = sinks_;
    }
    log_.Log(leInfo, ">> NotifyRelease");
    log_.Log(leInfo, ">> NotifyRelease =>> [adviced client count: %d]",
             static_cast<int>(sinks.size()));
    for (std::size_t i = sinks.size(); i-- > 0;) {
        log_.Log(leInfo, ">> NotifyRelease client ID: %d", static_cast<int>(i + 1));
        static_cast<void>(
            sinks[i]->OnDeviceNotify(sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE));
    }
    log_.Log(leInfo, ">> NotifyRelease EOF");
    return S_OK;
}

HRESULT CQuillmereSDK::IsInitialize() {
    return initialized_.load() ? S_OK : S_FALSE;
}

HRESULT CQuillmereSDK::GetVersion(std::string& version) {
    version = sdk::kSdkVersion;
    return S_OK;
}

HRESULT CQuillmereSDK::EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) {
    if (ppEnum == nullptr)
        return E_POINTER;
    auto copy = std::make_shared<sdk::SnapshotEnumerator::Snapshot>();
    {
        std::lock_guard guard(devicesMutex_);
        if (devices_.empty())
            return E_INVALIDARG;
        copy->assign(devices_.begin(), devices_.end());
    }
    *ppEnum = std::make_shared<sdk::SnapshotEnumerator>(std::move(copy));
    return S_OK;
}

HRESULT CQuillmereSDK::RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& pDevice) {
    std::shared_ptr<CQMDevice> device;
    {
        std::lock_guard guard(devicesMutex_);
        for (const auto& d : devices_) {
            if (static_cast<sdk::IQMDevice*>(d.get()) == pDevice.get())
                device = d;
        }
    }
    if (!device)
        return E_POINTER;
    return removeFromList(device, device->serial(), false) ? S_OK : E_POINTER;
}

HRESULT CQuillmereSDK::RemoveDeviceBySN(const std::string& serial) {
    auto device = findBySerial(serial);
    if (!device)
        return E_POINTER;
    return removeFromList(device, serial, true) ? S_OK : E_POINTER;
}

HRESULT CQuillmereSDK::RemoveAllInactive() {
    log_.Log(leInfo, "Remove all inactive devices ...");
    int removed = 0;
    std::lock_guard membership(membershipMutex_);
    const auto list = devices();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const auto& device = *it;
        if (device->started())
            continue;
        const std::string serial = device->serial();
        log_.Log(leInfo, "Remove Device SN %s ...", serial.c_str());
        deleteCache(serial);
        log_.Log(leInfo, "Device SN %s was removed from registry", serial.c_str());
        unlist(device);
        log_.Log(leInfo, "Device SN %s was removed", serial.c_str());
        ++removed;
    }
    if (removed > 0)
        DoUpdateNotify(sdk::kInactiveRemovedSerial, sdk::QM_NOTIFY_INACTIVE_REMOVED);
    return S_OK;
}

HRESULT CQuillmereSDK::GetLogFolder(std::string& folder) {
    std::lock_guard guard(folderMutex_);
    folder = logFolder_;
    return S_OK;
}

// A client names the folder: it must be absolute and a folder the service can make and write
// in. A refused folder changes nothing; the result says why.
HRESULT CQuillmereSDK::SetLogFolder(const std::string& folder) {
    if (folder.empty() || folder.front() != '/')
        return E_INVALIDARG;
    std::lock_guard moving(logFolderMutex_);
    if (const HRESULT made = makeLogFolder(folder); sdk::FAILED(made))
        return made;
    log_.Stop();
    {
        std::lock_guard guard(folderMutex_);
        logFolder_ = folder;
    }
    registry::Key config;
    if (env_.registry.createKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                                registry::Access::ReadWrite, config) == registry::ERROR_SUCCESS &&
        registry::writeString(config, "LogFolder", folder) == registry::ERROR_SUCCESS) {
        log_.Start(folder, "qmMicHost ");
    }
    for (const auto& device : devices())
        device->OpenDeviceLog();
    return S_OK;
}

HRESULT CQuillmereSDK::AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) {
    if (!sink)
        return E_POINTER;
    int count = 0;
    {
        std::lock_guard guard(sinksMutex_);
        sinks_.push_back(sink);
        count = static_cast<int>(sinks_.size());
    }
    log_.Log(leInfo, "AdviceSink =>> [AFTER advice client count: %d]", count);
    return S_OK;
}

HRESULT CQuillmereSDK::UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& sink) {
    std::lock_guard guard(sinksMutex_);
    log_.Log(leInfo, "UnadviceSink =>> [BEFORE unadvice client count: %d]",
             static_cast<int>(sinks_.size()));
    const auto it = std::find(sinks_.begin(), sinks_.end(), sink);
    if (it != sinks_.end()) {
        const int position = static_cast<int>(it - sinks_.begin()) + 1;
        sinks_.erase(it);
        log_.Log(leInfo, "Unadvice Sink client: #%d", position);
    }
    log_.Log(leInfo, "UnadviceSink =>> [AFTER unadvice client count: %d]",
             static_cast<int>(sinks_.size()));
    return S_OK;
}

}  // namespace qm::core
