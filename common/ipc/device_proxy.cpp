#include "common/ipc/device_proxy.h"

#include <string_view>

#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client_session.h"
#include "common/ipc/proxy_call.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;

using detail::inArg;
using detail::outArg;

// The device object sets GetDeviceIndexHID's out value also when it fails. It sets the version
// strings only from a version reply and succeeds without them otherwise; the bus carries such
// strings as empty ones (a version string never is), which leave the caller's strings as they
// were. Every other method's out values change only when the call succeeds.
detail::Outs outsRuleOf(std::string_view method) {
    if (method == "GetDeviceIndexHID") {
        return detail::Outs::Always;
    }
    return method == "GetHardwareVer" ? detail::Outs::SetStringsOnSuccess : detail::Outs::OnSuccess;
}

}  // namespace

DeviceProxy::DeviceProxy(std::shared_ptr<ClientSession> session, std::string path)
    : session_(std::move(session)), path_(std::move(path)), proxy_(session_->makeProxy(path_)) {}

DeviceProxy::~DeviceProxy() = default;

#define QM_DEVICE_PROXY_METHOD(Name, ...)                                                       \
    HRESULT DeviceProxy::Name(QM_PARAMETERS(__VA_ARGS__)) {                                     \
        return detail::callTableMethod(session_->bus(), *proxy_, kDeviceInterface, #Name,       \
                                       session_->callTimeout(),                                 \
                                       outsRuleOf(#Name) __VA_OPT__(, QM_MARKED(__VA_ARGS__))); \
    }
QM_DEVICE_METHODS(QM_DEVICE_PROXY_METHOD)
#undef QM_DEVICE_PROXY_METHOD

}  // namespace qm::ipc
