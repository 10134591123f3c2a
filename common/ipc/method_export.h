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

}  // namespace qm::ipc::detail
