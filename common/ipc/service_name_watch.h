#pragma once

#include <functional>
#include <memory>

#include "common/ipc/client.h"

namespace qm::ipc {

// Follows who owns the service's bus name, so that a client learns that the service left the bus
// (it stopped, crashed or was killed: no release notification comes then) and that it came back.
class ServiceNameWatch {
  public:
    // Called with true when the service takes its name on the bus, false when it leaves it (a
    // hand-over from one process to another gives false, then true). Runs on the watch's own
    // thread: it must be quick, as a sink's OnDeviceNotify must.
    using Handler = std::function<void(bool present)>;

    virtual ~ServiceNameWatch() = default;
};

// Starts watching the bus of `options` for `options.serviceName`. Null when the bus cannot be
// reached. The handler is not called for the state found at the start, only for changes; it is
// never called once the watch is destroyed.
std::unique_ptr<ServiceNameWatch> watchServiceName(const ClientOptions& options,
                                                   ServiceNameWatch::Handler handler);

}  // namespace qm::ipc
