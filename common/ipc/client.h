#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "common/ipc/bus_address.h"
#include "common/ipc/bus_names.h"
#include "common/sdk/interfaces.h"

// The client side of the binding: the service's device manager as an sdk::IQuillmereSDK.
//
// Every call is a D-Bus method call with a time-out; a call that cannot be made or gets no
// answer returns a failure result (see ipc_result.h) and never throws. Out values change only
// when the call succeeds (GetDeviceIndexHID also takes the -1 the device reports on failure).
//
// Sinks: AdviceSink exports the given IDeviceNotify on the client's own connection and the
// service calls it there. OnDeviceNotify runs on the connection's event-loop thread: it must be
// quick (post to the caller's own thread, as a window's message queue would), because the next
// notification and every reply to this connection wait for it. A sink stays exported, and
// referenced, while it is advised.
//
// Objects: the manager and device proxies share one connection with one event-loop thread; it
// closes when the last of them is released. Device proxies are the same object for the same
// device object while the client holds one.
//
// Threads: any proxy may be called from several threads at once, the same proxy too. Each call
// waits only for its own reply: a call the service is slow to answer holds up its own thread
// and no other. The calls of one thread reach the service in the order that thread makes them;
// calls of different threads are not ordered among themselves, so a client that needs an order
// across its calls (a change, then GetLastStatus) makes them from one thread. Calls must not be
// made from inside a sink's OnDeviceNotify: that runs on the event-loop thread, which the
// replies need.
//
// Watching the service: see service_name_watch.h for learning that the service left the bus
// (no release notification comes when it is killed) or came back.
namespace qm::ipc {

struct ClientOptions {
    // The bus; nothing means QM_DBUS_ADDRESS, and without that the system bus.
    std::optional<BusAddress> bus;
    std::string serviceName = kBusName;
    // Time-out of every call to the service.
    std::chrono::milliseconds callTimeout{5000};
    // Ping the service while connecting, so that a service that is not there (or cannot be
    // activated) fails the connection rather than the first call.
    bool verifyService = true;
};

// Connects to the service's device manager. Returns null when that fails, with the reason in
// *result when given (kServiceUnavailable or kCallTimedOut); S_OK otherwise.
std::shared_ptr<sdk::IQuillmereSDK> connectToService(const ClientOptions& options = {},
                                                     sdk::HRESULT* result = nullptr);

}  // namespace qm::ipc
