#pragma once

// Internal to the client side of the binding: one method call through a proxy, with every
// failure turned into an HRESULT. Includes sdbus-c++.

#include <chrono>
#include <cstdint>
#include <exception>
#include <new>
#include <tuple>

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/ipc_result.h"

namespace qm::ipc::detail {

struct CallOutcome {
    sdk::HRESULT hr = sdk::E_FAIL;
    bool answered = false;  // the service replied (hr is the method's result)
};

// Calls `method` and stores its out values (after the HRESULT) into `outs`.
template <typename... Outs, typename... Ins>
CallOutcome callMethod(sdbus::IProxy& proxy, const char* interfaceName, const char* method,
                       std::chrono::milliseconds timeout, std::tuple<Outs...>& outs,
                       const Ins&... ins) {
    try {
        std::int32_t hr = sdk::E_FAIL;
        std::apply(
            [&](auto&... out) {
                proxy.callMethod(method)
                    .onInterface(interfaceName)
                    .withTimeout(timeout)
                    .withArguments(ins...)
                    .storeResultsTo(hr, out...);
            },
            outs);
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
