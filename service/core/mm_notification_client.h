#pragma once

#include <memory>

#include "platform/endpoints/endpoint_system.h"

namespace qm::core {

class CQuillmereSDK;

// Passes audio endpoint news to the device manager while it exists.
class CMMNotificationClient final : public endpoints::EndpointListener {
  public:
    explicit CMMNotificationClient(std::weak_ptr<CQuillmereSDK> manager);

    void OnDeviceAdded(const std::string& endpointId) override;
    void OnDeviceStateChanged(const std::string& endpointId, std::uint32_t newState) override;

  private:
    std::weak_ptr<CQuillmereSDK> manager_;
};

}  // namespace qm::core
