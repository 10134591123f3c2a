#pragma once

#include <memory>

#include "common/sdk/interfaces.h"

namespace qm::studio {

// Reaches the service's device manager. The binding that carries the client interface
// between the processes provides the implementation the studio runs with.
class ServiceConnector {
  public:
    virtual ~ServiceConnector() = default;

    // The device manager, or nothing when the service isn't installed, running or reachable.
    virtual std::shared_ptr<sdk::IQuillmereSDK> connect() = 0;
};

// The connector of a studio built without an interprocess binding: the service is never
// reachable, so the studio runs with an empty microphone list.
class NoServiceConnector final : public ServiceConnector {
  public:
    std::shared_ptr<sdk::IQuillmereSDK> connect() override { return nullptr; }
};

}  // namespace qm::studio
