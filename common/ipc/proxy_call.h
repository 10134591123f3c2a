#pragma once

// Internal to the client side of the binding: one method call through a proxy, with every
// failure turned into an HRESULT. Includes sdbus-c++.

#include <chrono>
#include <cstdint>
#include <exception>
#include <new>
#include <tuple>

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_connection.h"
#include "common/ipc/ipc_result.h"

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

}  // namespace qm::ipc::detail
