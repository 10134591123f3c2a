#include "common/ipc/sdk_proxy.h"

#include <vector>

#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client_session.h"
#include "common/ipc/device_proxy.h"
#include "common/ipc/proxy_call.h"
#include "common/ipc/sink_export_table.h"
#include "common/ipc/wire_text.h"
#include "common/sdk/snapshot_enumerator.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;

// Calls `method` on the manager; copies the out values into `outs` when it succeeds.
template <typename... Refs, typename... Ins>
HRESULT callManager(BusConnection& bus, sdbus::IProxy& proxy, std::chrono::milliseconds timeout,
                    const char* method, std::tuple<Refs&...> outs, const Ins&... ins) {
    std::tuple<std::remove_cvref_t<Refs>...> values{};
    const detail::CallOutcome outcome =
        detail::callMethod(bus, proxy, kSdkInterface, method, timeout, values, ins...);
    if (outcome.answered && sdk::SUCCEEDED(outcome.hr)) {
        outs = values;
    }
    return outcome.hr;
}

}  // namespace

SdkProxy::SdkProxy(std::shared_ptr<ClientSession> session)
    : session_(std::move(session)), proxy_(session_->makeProxy(kSdkPath)) {}

SdkProxy::~SdkProxy() = default;

HRESULT SdkProxy::WriteLog(sdk::qmLogEventType Type, const std::string& str) {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "WriteLog", std::tie(),
                       std::int32_t{Type}, toWireText(str));
}

HRESULT SdkProxy::NotifyRelease() {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "NotifyRelease",
                       std::tie());
}

HRESULT SdkProxy::IsInitialize() {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "IsInitialize",
                       std::tie());
}

HRESULT SdkProxy::GetVersion(std::string& pbstrVersion) {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "GetVersion",
                       std::tie(pbstrVersion));
}

HRESULT SdkProxy::EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) {
    if (ppEnum == nullptr) {
        return sdk::E_POINTER;
    }
    std::vector<sdbus::ObjectPath> paths;
    const HRESULT hr = callManager(session_->bus(), *proxy_, session_->callTimeout(),
                                   "EnumQMDevice", std::tie(paths));
    if (sdk::FAILED(hr)) {
        return hr;
    }
    auto snapshot = std::make_shared<sdk::SnapshotEnumerator::Snapshot>();
    snapshot->reserve(paths.size());
    for (const auto& path : paths) {
        if (path == kNullObjectPath) {
            snapshot->push_back(nullptr);
        } else {
            snapshot->push_back(session_->deviceProxy(path));
        }
    }
    *ppEnum = std::make_shared<sdk::SnapshotEnumerator>(std::move(snapshot));
    return hr;
}

HRESULT SdkProxy::RemoveDevice(const std::shared_ptr<sdk::IQMDevice>& pDevice) {
    std::string path = kNullObjectPath;
    const auto* device = dynamic_cast<const DeviceProxy*>(pDevice.get());
    if (device != nullptr && device->session() == session_.get()) {
        path = device->path();
    }
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "RemoveDevice",
                       std::tie(), sdbus::ObjectPath(path));
}

HRESULT SdkProxy::RemoveDeviceBySN(const std::string& bstrSN) {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "RemoveDeviceBySN",
                       std::tie(), toWireText(bstrSN));
}

HRESULT SdkProxy::RemoveAllInactive() {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "RemoveAllInactive",
                       std::tie());
}

HRESULT SdkProxy::GetLogFolder(std::string& pbstrLogFolder) {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "GetLogFolder",
                       std::tie(pbstrLogFolder));
}

HRESULT SdkProxy::SetLogFolder(const std::string& bstrLogFolder) {
    return callManager(session_->bus(), *proxy_, session_->callTimeout(), "SetLogFolder",
                       std::tie(), toWireText(bstrLogFolder));
}

HRESULT SdkProxy::AdviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) {
    if (!pCallMe) {
        return sdk::E_POINTER;
    }
    SinkExportTable& sinks = session_->sinks();
    std::string path;
    try {
        path = sinks.beginAdvise(pCallMe);
    } catch (const sdbus::Error& e) {
        return hresultFromBusError(e.getName());
    } catch (const std::exception&) {
        return sdk::E_FAIL;
    }
    const HRESULT hr = callManager(session_->bus(), *proxy_, session_->callTimeout(), "AdviceSink",
                                   std::tie(), sdbus::ObjectPath(path));
    sinks.endAdvise(pCallMe.get(), sdk::SUCCEEDED(hr));
    return hr;
}

HRESULT SdkProxy::UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) {
    SinkExportTable& sinks = session_->sinks();
    const std::optional<std::string> path = sinks.beginUnadvise(pCallMe.get());
    // A sink that is not advised still goes to the manager, which finds nothing.
    const HRESULT hr =
        callManager(session_->bus(), *proxy_, session_->callTimeout(), "UnadviceSink", std::tie(),
                    sdbus::ObjectPath(path.value_or(kNullObjectPath)));
    if (path) {
        sinks.endUnadvise(pCallMe.get(), sdk::SUCCEEDED(hr));
    }
    return hr;
}

std::size_t SdkProxy::exportedSinkCount() const {
    return session_->sinks().size();
}

}  // namespace qm::ipc
