#include "common/ipc/sdk_proxy.h"

#include <vector>

#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client_session.h"
#include "common/ipc/device_proxy.h"
#include "common/ipc/proxy_call.h"
#include "common/ipc/sink_export_table.h"
#include "common/sdk/snapshot_enumerator.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;

using detail::inArg;
using detail::outArg;

// Calls `method` on the manager; its out values change only when it succeeds.
template <typename... Args>
HRESULT callManager(ClientSession& session, sdbus::IProxy& proxy, const char* method,
                    const Args&... args) {
    return detail::callTableMethod(session.bus(), proxy, kSdkInterface, method,
                                   session.callTimeout(), detail::Outs::OnSuccess, args...);
}

}  // namespace

SdkProxy::SdkProxy(std::shared_ptr<ClientSession> session)
    : session_(std::move(session)), proxy_(session_->makeProxy(kSdkPath)) {}

SdkProxy::~SdkProxy() = default;

// The methods that carry only values; those that carry objects follow.
#define QM_SDK_PROXY_METHOD(Name, ...)                                                      \
    HRESULT SdkProxy::Name(QM_PARAMETERS(__VA_ARGS__)) {                                    \
        return callManager(*session_, *proxy_, #Name __VA_OPT__(, QM_MARKED(__VA_ARGS__))); \
    }
#define QM_OBJECT_METHOD(Name, ...)
QM_MANAGER_METHODS(QM_SDK_PROXY_METHOD, QM_OBJECT_METHOD)
#undef QM_OBJECT_METHOD
#undef QM_SDK_PROXY_METHOD

HRESULT SdkProxy::EnumQMDevice(std::shared_ptr<sdk::IEnumQMDevice>* ppEnum) {
    if (ppEnum == nullptr) {
        return sdk::E_POINTER;
    }
    std::vector<sdbus::ObjectPath> paths;
    const HRESULT hr = callManager(*session_, *proxy_, "EnumQMDevice", outArg(paths));
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
    return callManager(*session_, *proxy_, "RemoveDevice", inArg(sdbus::ObjectPath(path)));
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
    const HRESULT hr =
        callManager(*session_, *proxy_, "AdviceSink", inArg(sdbus::ObjectPath(path)));
    sinks.endAdvise(pCallMe.get(), sdk::SUCCEEDED(hr));
    return hr;
}

HRESULT SdkProxy::UnadviceSink(const std::shared_ptr<sdk::IDeviceNotify>& pCallMe) {
    SinkExportTable& sinks = session_->sinks();
    const std::optional<std::string> path = sinks.beginUnadvise(pCallMe.get());
    // A sink that is not advised still goes to the manager, which finds nothing.
    const HRESULT hr = callManager(*session_, *proxy_, "UnadviceSink",
                                   inArg(sdbus::ObjectPath(path.value_or(kNullObjectPath))));
    if (path) {
        sinks.endUnadvise(pCallMe.get(), sdk::SUCCEEDED(hr));
    }
    return hr;
}

std::size_t SdkProxy::exportedSinkCount() const {
    return session_->sinks().size();
}

}  // namespace qm::ipc
