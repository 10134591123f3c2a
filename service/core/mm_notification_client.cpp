#include "service/core/mm_notification_client.h"

#include "service/core/quillmere_sdk.h"

namespace qm::core {

CMMNotificationClient::CMMNotificationClient(std::weak_ptr<CQuillmereSDK> manager)
    : manager_(std::move(manager)) {}

void CMMNotificationClient::OnDeviceAdded(const std::string& endpointId) {
    if (auto manager = manager_.lock())
        manager->DoDeviceAdded(endpointId);
}

void CMMNotificationClient::OnDeviceStateChanged(const std::string& endpointId,
                                                 std::uint32_t newState) {
    if (auto manager = manager_.lock())
        manager->DoDeviceChange(endpointId, newState);
}

}  // namespace qm::core
