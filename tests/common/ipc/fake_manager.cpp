#include "fake_manager.h"

#include <algorithm>

#include "common/sdk/identifiers.h"
#include "common/sdk/snapshot_enumerator.h"
#include "common/text/text.h"

namespace qm::ipc::testing {

using sdk::HRESULT;

void FakeManager::setDevices(Devices devices) {
    std::lock_guard guard(mutex_);
    devices_ = std::move(devices);
}

FakeManager::Devices FakeManager::devices() const {
    std::lock_guard guard(mutex_);
    return devices_;
}

FakeManager::Sinks FakeManager::sinks() const {
    std::lock_guard guard(mutex_);
    return sinks_;
}

std::vector<std::pair<sdk::qmLogEventType, std::string>> FakeManager::logLines() const {
    std::lock_guard guard(mutex_);
    return log_;
}

void FakeManager::notify(const std::string& serial, int state) {
    sendToSinks(sinks(), serial, state);
}

void FakeManager::sendToSinks(const Sinks& sinks, const std::string& serial, int state) {
    for (const auto& sink : sinks) {
        static_cast<void>(sink->OnDeviceNotify(serial, state));
    }
}

bool FakeManager::waitForSinks(const std::function<bool(const Sinks&)>& done,
                               std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(sinks_); });
}

HRESULT FakeManager::WriteLog(sdk::qmLogEventType Type, const std::string& str) {
    std::lock_guard guard(mutex_);
    log_.emplace_back(Type, str);
    return sdk::S_OK;
}

HRESULT FakeManager::NotifyRelease() {
    Sinks reversed = sinks();
    std::reverse(reversed.begin(), reversed.end());
    sendToSinks(reversed, sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE);
    return sdk::S_OK;
}

HRESULT FakeManager::IsInitialize() {
    return sdk::S_OK;
}

HRESULT FakeManager::GetVersion(std::string& pbstrVersion) {
    pbstrVersion = sdk::kSdkVersion;
    return sdk::S_OK;
}

HRESULT FakeManager::EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) {
    if (ppEnum == nullptr) {
        return sdk::E_POINTER;
    }
    auto copy = std::make_shared<const Devices>(devices());
    if (copy->empty()) {
        return sdk::E_INVALIDARG;
    }
    *ppEnum = std::make_shared<sdk::SnapshotEnumerator>(std::move(copy));
    return sdk::S_OK;
}

HRESULT FakeManager::RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& pDevice) {
    std::shared_ptr<sdk::IQMDevice> removed;
    {
        std::lock_guard guard(mutex_);
        const auto it = std::find(devices_.begin(), devices_.end(), pDevice);
        if (devices_.empty() || it == devices_.end() || !pDevice) {
            return sdk::E_POINTER;
        }
        removed = *it;
        devices_.erase(it);
    }
    std::string serial;
    static_cast<void>(removed->GetDeviceSN(serial));
    notify(serial, sdk::QM_NOTIFY_REMOVED);
    return sdk::S_OK;
}

HRESULT FakeManager::RemoveDeviceBySN(const std::string& bstrSN) {
    {
        std::lock_guard guard(mutex_);
        const auto it = std::find_if(devices_.begin(), devices_.end(), [&](const auto& device) {
            std::string serial;
            static_cast<void>(device->GetDeviceSN(serial));
            return text::asciiIEquals(serial, bstrSN);
        });
        if (it == devices_.end()) {
            return sdk::E_POINTER;
        }
        devices_.erase(it);
    }
    notify(bstrSN, sdk::QM_NOTIFY_REMOVED);
    return sdk::S_OK;
}

HRESULT FakeManager::RemoveAllInactive() {
    std::size_t removed = 0;
    {
        std::lock_guard guard(mutex_);
        removed = std::erase_if(
            devices_, [](const auto& device) { return device->IsStarted() != sdk::S_OK; });
    }
    if (removed > 0) {
        notify(sdk::kInactiveRemovedSerial, sdk::QM_NOTIFY_INACTIVE_REMOVED);
    }
    return sdk::S_OK;
}

HRESULT FakeManager::GetLogFolder(std::string& pbstrLogFolder) {
    std::lock_guard guard(mutex_);
    pbstrLogFolder = logFolder_;
    return sdk::S_OK;
}

HRESULT FakeManager::SetLogFolder(const std::string& bstrLogFolder) {
    std::lock_guard guard(mutex_);
    logFolder_ = bstrLogFolder;
    return sdk::S_OK;
}

HRESULT FakeManager::AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) {
    {
        std::lock_guard guard(mutex_);
        sinks_.push_back(pCallMe);
    }
    changed_.notify_all();
    return sdk::S_OK;
}

HRESULT FakeManager::UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) {
    {
        std::lock_guard guard(mutex_);
        const auto it = std::find(sinks_.begin(), sinks_.end(), pCallMe);
        if (it != sinks_.end()) {
            sinks_.erase(it);
        }
    }
    changed_.notify_all();
    return sdk::S_OK;
}

}  // namespace qm::ipc::testing
