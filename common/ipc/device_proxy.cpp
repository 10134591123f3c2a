#include "common/ipc/device_proxy.h"

#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client_session.h"
#include "common/ipc/proxy_call.h"
#include "common/ipc/wire_text.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;

// A method's parameters as the table passes them: in values and out references.
template <typename T>
struct InArg {
    const T& value;
};
template <typename T>
struct OutArg {
    T& value;
};
template <typename T>
InArg<T> inArg(const T& value) {
    return {value};
}
template <typename T>
OutArg<T> outArg(T& value) {
    return {value};
}

// The in values as they go on the wire, and the out references, each in parameter order.
template <typename T>
std::tuple<const T&> wireIn(const InArg<T>& in) {
    return {in.value};
}
inline std::tuple<std::string> wireIn(const InArg<std::string>& in) {
    return {toWireText(in.value)};
}
template <typename T>
std::tuple<> wireIn(const OutArg<T>& /*out*/) {
    return {};
}
template <typename T>
std::tuple<> outRef(const InArg<T>& /*in*/) {
    return {};
}
template <typename T>
std::tuple<T&> outRef(const OutArg<T>& out) {
    return {out.value};
}

// The device object sets GetDeviceIndexHID's out value also when it fails; every other method's
// out values change only when the call succeeds.
bool setsOutsOnFailure(std::string_view method) {
    return method == "GetDeviceIndexHID";
}

// Calls `method` on the device object with `args` (inArg / outArg) in parameter order.
template <typename... Args>
HRESULT callDevice(BusConnection& bus, sdbus::IProxy& proxy, std::chrono::milliseconds timeout,
                   const char* method, const Args&... args) {
    auto outs = std::tuple_cat(outRef(args)...);
    auto values = std::apply(
        [](auto&... out) { return std::tuple<std::remove_cvref_t<decltype(out)>...>{}; }, outs);
    const detail::CallOutcome outcome = std::apply(
        [&](const auto&... ins) {
            return detail::callMethod(bus, proxy, kDeviceInterface, method, timeout, values,
                                      ins...);
        },
        std::tuple_cat(wireIn(args)...));
    if (outcome.answered && (sdk::SUCCEEDED(outcome.hr) || setsOutsOnFailure(method))) {
        outs = values;
    }
    return outcome.hr;
}

}  // namespace

DeviceProxy::DeviceProxy(std::shared_ptr<ClientSession> session, std::string path)
    : session_(std::move(session)), path_(std::move(path)), proxy_(session_->makeProxy(path_)) {}

DeviceProxy::~DeviceProxy() = default;

#define QM_DEVICE_PROXY_METHOD(Name, ...)                                    \
    HRESULT DeviceProxy::Name(QM_PARAMETERS(__VA_ARGS__)) {                  \
        return callDevice(session_->bus(), *proxy_, session_->callTimeout(), \
                          #Name __VA_OPT__(, QM_MARKED(__VA_ARGS__)));       \
    }
QM_DEVICE_METHODS(QM_DEVICE_PROXY_METHOD)
#undef QM_DEVICE_PROXY_METHOD

}  // namespace qm::ipc
