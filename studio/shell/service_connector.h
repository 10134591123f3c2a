#pragma once

#include <functional>
#include <memory>

#include "common/sdk/interfaces.h"

namespace qm::studio {

// Watches the service for as long as it exists; see ServiceConnector::watch.
class ServiceWatch {
  public:
    virtual ~ServiceWatch() = default;
};

// Reaches the service's device manager. The binding that carries the client interface
// between the processes provides the implementation the studio runs with.
class ServiceConnector {
  public:
    // Told true when the service appears, false when it goes away; on any thread.
    using PresenceHandler = std::function<void(bool present)>;

    virtual ~ServiceConnector() = default;

    // The device manager, or nothing when the service isn't installed, running or reachable.
    // Called on a worker thread: it may wait.
    virtual std::shared_ptr<sdk::IQuillmereSDK> connect() = 0;
    // Starts telling `changed` when the service comes and goes (also when it ends without its
    // release notification). Nothing when the service can't be watched.
    virtual std::unique_ptr<ServiceWatch> watch(PresenceHandler changed) {
        static_cast<void>(changed);
        return nullptr;
    }
};

// The connector of a studio built without an interprocess binding: the service is never
// reachable, so the studio runs with an empty microphone list.
class NoServiceConnector final : public ServiceConnector {
  public:
    std::shared_ptr<sdk::IQuillmereSDK> connect() override { return nullptr; }
};

}  // namespace qm::studio
