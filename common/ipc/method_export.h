#pragma once

// Internal to the service side of the binding: registers methods whose calls run on the call
// pool. Includes sdbus-c++.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/client_calls.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/wire_text.h"
#include "common/ipc/wire_types.h"

namespace qm::ipc::detail {

// The argument and result types of a method body `(Target&, Ins...) -> tuple<int32, Outs...>`.
template <typename Body>
struct BodyTraits : BodyTraits<decltype(&Body::operator())> {};

template <typename Class, typename Result, typename Target, typename... Ins>
struct BodyTraits<Result (Class::*)(Target&, Ins...) const> {
    using Results = Result;
    using Arguments = std::tuple<std::decay_t<Ins>...>;
};

template <typename T>
const T& toWire(const T& value) {
    return value;
}
inline std::string toWire(const std::string& value) {
    return toWireText(value);
}

// The unique bus name of the client whose call `object` is handling.
inline std::string currentSender(const sdbus::IObject& object) {
    const sdbus::Message* message = object.getCurrentlyProcessedMessage();
    return message != nullptr ? message->getSender() : std::string();
}

template <typename Reply>
void replyError(const Reply& reply, const char* name, const char* text) {
    try {
        reply.returnError(sdbus::Error(name, text));
    } catch (const std::exception&) {
        // The client or the connection is gone; nobody waits for this reply any more.
    }
}

template <typename Results, typename Arguments>
struct PooledMethod;

template <typename... Outs, typename... Ins>
struct PooledMethod<std::tuple<std::int32_t, Outs...>, std::tuple<Ins...>> {
    using Reply = sdbus::Result<std::int32_t, Outs...>;

    template <typename Target, typename Body>
    static void add(sdbus::IObject& object, const char* interfaceName, const char* name,
                    std::vector<std::string> inNames, std::vector<std::string> outNames,
                    ClientCalls& calls, std::shared_ptr<Target> target, Body body) {
        object.registerMethod(name)
            .onInterface(interfaceName)
            .withInputParamNames(std::move(inNames))
            .withOutputParamNames(std::move(outNames))
            .implementedAs([&object, &calls, target, body](Reply&& result, Ins... args) {
                auto reply = std::make_shared<Reply>(std::move(result));
                const bool queued = calls.run(currentSender(object), [reply, target, body,
                                                                      args...]() {
                    try {
                        const auto values = body(*target, args...);
                        std::apply(
                            [&](const auto&... value) { reply->returnResults(toWire(value)...); },
                            values);
                    } catch (const sdbus::Error&) {
                        // The reply could not be sent: the client or the connection is gone.
                    } catch (const std::exception& e) {
                        replyError(*reply, kErrorInternal, e.what());
                    }
                });
                if (!queued) {
                    replyError(*reply, kErrorServiceStopping, "the service is stopping");
                }
            });
    }
};

// Registers method `name` on `interfaceName`. Each call runs `body(*target, args...)` on the
// call pool as a call of the sending client and replies with the tuple it returns (HRESULT
// first). `outNames` names the out values after the HRESULT.
template <typename Target, typename Body>
void exportPooledMethod(sdbus::IObject& object, const char* interfaceName, const char* name,
                        std::vector<std::string> inNames, std::vector<std::string> outNames,
                        ClientCalls& calls, std::shared_ptr<Target> target, Body body) {
    using Traits = BodyTraits<Body>;
    outNames.insert(outNames.begin(), "hr");
    PooledMethod<typename Traits::Results, typename Traits::Arguments>::add(
        object, interfaceName, name, std::move(inNames), std::move(outNames), calls,
        std::move(target), std::move(body));
}

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

// The body of a table method that takes only in values or only out values (as every value method
// does): `(Target&, wire ins...) -> (hr, wire outs...)`, out values starting at zero.
template <auto Method, typename Target, typename Ins, typename Outs>
struct TableBody;

template <auto Method, typename Target, typename... Ins, typename... Outs>
struct TableBody<Method, Target, std::tuple<Ins...>, std::tuple<Outs...>> {
    static_assert(sizeof...(Ins) == 0 || sizeof...(Outs) == 0,
                  "a table method takes in values or out values, not both");

    std::tuple<std::int32_t, WireType<Outs>...> operator()(Target& target,
                                                           WireType<Ins>... ins) const {
        std::tuple<std::int32_t, Outs...> results{};
        std::apply(
            [&](std::int32_t& hr, Outs&... outs) {
                if constexpr (sizeof...(Outs) > 0) {
                    hr = (target.*Method)(outs...);
                } else {
                    hr = (target.*Method)(static_cast<Ins>(std::move(ins))...);
                }
            },
            results);
        return results;
    }
};

template <typename Signature>
struct TableBodyFor;

template <typename Target, typename... Params>
struct TableBodyFor<sdk::HRESULT (Target::*)(Params...)> {
    template <auto Method>
    using Type = TableBody<Method, Target, InsOf<Params...>, OutsOf<Params...>>;
};

// The body of `Method`, a member of a method table, for exportPooledMethod.
template <auto Method>
auto tableBody() {
    return typename TableBodyFor<decltype(Method)>::template Type<Method>{};
}

}  // namespace qm::ipc::detail
