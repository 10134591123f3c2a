#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

#include "platform/endpoints/endpoint_system.h"

namespace qm::sim {

// Audio endpoints of virtual microphones (and of foreign devices), driven by hand. News is given
// to the listener on the thread that plugs or unplugs.
class SimulatedEndpoints final : public endpoints::EndpointSystem {
  public:
    void setListener(endpoints::EndpointListener* listener) override;
    std::optional<sdk::Guid> containerIdOfEndpoint(const std::string& endpointId) override;
    std::optional<std::string> usbContainerId(std::string_view vendorId, std::string_view productId,
                                              std::string_view serial) override;

    // An endpoint appears (added the first time, then active) or comes back (active).
    void connect(const std::string& endpointId, const sdk::Guid& containerId);
    // An endpoint goes away (not present).
    void disconnect(const std::string& endpointId);
    // The USB device becomes known to the system, as when it was first plugged in.
    void rememberUsbDevice(std::string_view vendorId, std::string_view productId,
                           std::string_view serial, const sdk::Guid& containerId);
    std::uint32_t state(const std::string& endpointId) const;

  private:
    struct Endpoint {
        sdk::Guid containerId;
        std::uint32_t state = endpoints::DEVICE_STATE_NOTPRESENT;
    };

    void notifyAdded(const std::string& endpointId);
    void notifyState(const std::string& endpointId, std::uint32_t state);

    mutable std::mutex mutex_;
    std::map<std::string, Endpoint> endpoints_;
    std::map<std::tuple<std::string, std::string, std::string>, sdk::Guid> usbDevices_;
    // Held while a callback runs, so that setListener returns only when none is running.
    std::mutex dispatchMutex_;
    endpoints::EndpointListener* listener_ = nullptr;
};

}  // namespace qm::sim
