#include "common/ipc/device_adaptor.h"

#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "common/ipc/bus_names.h"
#include "common/ipc/method_export.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;
using sdk::IQMDevice;
using Names = std::vector<std::string>;

// True for an out parameter: a reference to something the method may change.
template <typename P>
constexpr bool isOut =
    std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

template <typename... Ps>
using InsOf = decltype(std::tuple_cat(
    std::declval<std::conditional_t<isOut<Ps>, std::tuple<>, std::tuple<std::decay_t<Ps>>>>()...));
template <typename... Ps>
using OutsOf = decltype(std::tuple_cat(
    std::declval<std::conditional_t<isOut<Ps>, std::tuple<std::decay_t<Ps>>, std::tuple<>>>()...));

// The body of a method that takes only in values or only out values (as every device method
// does): `(IQMDevice&, ins...) -> (hr, outs...)`, out values starting at zero.
template <auto Method, typename Ins, typename Outs>
struct Body;

template <auto Method, typename... Ins, typename... Outs>
struct Body<Method, std::tuple<Ins...>, std::tuple<Outs...>> {
    static_assert(sizeof...(Ins) == 0 || sizeof...(Outs) == 0,
                  "a device method takes in values or out values, not both");

    std::tuple<std::int32_t, Outs...> operator()(IQMDevice& device, Ins... ins) const {
        std::tuple<std::int32_t, Outs...> results{};
        std::apply(
            [&](std::int32_t& hr, Outs&... outs) {
                if constexpr (sizeof...(Outs) > 0) {
                    hr = (device.*Method)(outs...);
                } else {
                    hr = (device.*Method)(ins...);
                }
            },
            results);
        return results;
    }
};

template <typename Signature>
struct BodyFor;

template <typename... Params>
struct BodyFor<HRESULT (IQMDevice::*)(Params...)> {
    template <auto Method>
    using Type = Body<Method, InsOf<Params...>, OutsOf<Params...>>;
};

template <auto Method>
auto bodyOf() {
    return typename BodyFor<decltype(Method)>::template Type<Method>{};
}

}  // namespace

DeviceAdaptor::DeviceAdaptor(sdbus::IConnection& connection, std::string path,
                             std::shared_ptr<sdk::IQMDevice> device, ClientCalls& calls)
    : path_(std::move(path)), device_(std::move(device)) {
    object_ = sdbus::createObject(connection, path_);
    exportMethods(calls);
    object_->finishRegistration();
}

DeviceAdaptor::~DeviceAdaptor() = default;

void DeviceAdaptor::exportMethods(ClientCalls& calls) {
    const auto add = [&](const char* name, Names in, Names out, auto body) {
        detail::exportPooledMethod(*object_, kDeviceInterface, name, std::move(in), std::move(out),
                                   calls, device_, std::move(body));
    };

#define QM_EXPORT_DEVICE_METHOD(Name, ...)                                        \
    add(#Name, Names{QM_IN_NAMES(__VA_ARGS__)}, Names{QM_OUT_NAMES(__VA_ARGS__)}, \
        bodyOf<&IQMDevice::Name>());
    QM_DEVICE_METHODS(QM_EXPORT_DEVICE_METHOD)
#undef QM_EXPORT_DEVICE_METHOD
}

}  // namespace qm::ipc
