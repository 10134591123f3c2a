#pragma once

// Internal to the client side of the binding: one method call through a proxy, with every
// failure turned into an HRESULT. Includes sdbus-c++.

#include <chrono>
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_connection.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/wire_text.h"
#include "common/ipc/wire_types.h"

namespace qm::ipc::detail {

struct CallOutcome {
    sdk::HRESULT hr = sdk::E_FAIL;
    bool answered = false;  // the service replied (hr is the method's result)
};

// Calls `method` through `proxy` on `bus` and stores its out values (after the HRESULT) into
// `outs`.
template <typename... Outs, typename... Ins>
CallOutcome callMethod(BusConnection& bus, sdbus::IProxy& proxy, const char* interfaceName,
                       const char* method, std::chrono::milliseconds timeout,
                       std::tuple<Outs...>& outs, const Ins&... ins) {
    try {
        auto message = proxy.createMethodCall(interfaceName, method);
        ((void)(message << ins), ...);
        auto reply = bus.call(proxy, message, timeout);
        std::int32_t hr = sdk::E_FAIL;
        reply >> hr;
        std::apply([&](auto&... out) { ((void)(reply >> out), ...); }, outs);
        return {hr, true};
    } catch (const sdbus::Error& e) {
        return {hresultFromBusError(e.getName()), false};
    } catch (const std::bad_alloc&) {
        return {sdk::E_OUTOFMEMORY, false};
    } catch (const std::exception&) {
        return {sdk::E_FAIL, false};
    }
}

// A method's parameters as a method table passes them (QM_MARKED): in values and out references.
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
std::tuple<WireType<T>> wireIn(const InArg<T>& in) {
    return {static_cast<WireType<T>>(in.value)};
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

enum class Outs {
    OnSuccess,  // out values change only when the call succeeds
    Always,     // the method sets its out values also when it fails
    // As OnSuccess, but a string the bus carries empty (one the method did not set) leaves the
    // caller's string as it was
    SetStringsOnSuccess,
};

template <typename T, typename W>
void storeOut(T& out, W& value, Outs rule) {
    if constexpr (std::is_same_v<W, std::string>) {
        if (rule == Outs::SetStringsOnSuccess && value.empty()) {
            return;
        }
    }
    out = std::move(value);
}

// Calls a method of a table with `args` (inArg / outArg) in parameter order; copies the out values
// into the caller's references when the service answered, per `rule`.
template <typename... Args>
sdk::HRESULT callTableMethod(BusConnection& bus, sdbus::IProxy& proxy, const char* interfaceName,
                             const char* method, std::chrono::milliseconds timeout, Outs rule,
                             const Args&... args) {
    auto outs = std::tuple_cat(outRef(args)...);
    auto values = std::apply(
        [](auto&... out) { return std::tuple<WireType<std::remove_cvref_t<decltype(out)>>...>{}; },
        outs);
    const CallOutcome outcome = std::apply(
        [&](const auto&... ins) {
            return callMethod(bus, proxy, interfaceName, method, timeout, values, ins...);
        },
        std::tuple_cat(wireIn(args)...));
    if (outcome.answered && (sdk::SUCCEEDED(outcome.hr) || rule == Outs::Always)) {
        std::apply(
            [&](auto&... out) {
                std::apply([&](auto&... value) { (storeOut(out, value, rule), ...); }, values);
            },
            outs);
    }
    return outcome.hr;
}

}  // namespace qm::ipc::detail
