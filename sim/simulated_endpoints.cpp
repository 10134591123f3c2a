#include "sim/simulated_endpoints.h"

#include "common/text/text.h"

namespace qm::sim {

using namespace endpoints;

void SimulatedEndpoints::setListener(EndpointListener* listener) {
    std::lock_guard dispatch(dispatchMutex_);
    listener_ = listener;
}

std::optional<sdk::Guid> SimulatedEndpoints::containerIdOfEndpoint(const std::string& endpointId) {
    std::lock_guard guard(mutex_);
    const auto it = endpoints_.find(endpointId);
    if (it == endpoints_.end())
        return std::nullopt;
    return it->second.containerId;
}

std::optional<std::string> SimulatedEndpoints::usbContainerId(std::string_view vendorId,
                                                              std::string_view productId,
                                                              std::string_view serial) {
    std::lock_guard guard(mutex_);
    const auto it = usbDevices_.find(
        {text::asciiUpperCopy(vendorId), text::asciiUpperCopy(productId), std::string(serial)});
    if (it == usbDevices_.end())
        return std::nullopt;
    return it->second.toBracedString();
}

void SimulatedEndpoints::rememberUsbDevice(std::string_view vendorId, std::string_view productId,
                                           std::string_view serial, const sdk::Guid& containerId) {
    std::lock_guard guard(mutex_);
    usbDevices_[{text::asciiUpperCopy(vendorId), text::asciiUpperCopy(productId),
                 std::string(serial)}] = containerId;
}

void SimulatedEndpoints::connect(const std::string& endpointId, const sdk::Guid& containerId) {
    bool isNew = false;
    {
        std::lock_guard guard(mutex_);
        auto [it, inserted] = endpoints_.try_emplace(endpointId);
        isNew = inserted;
        it->second.containerId = containerId;
        it->second.state = DEVICE_STATE_ACTIVE;
    }
    if (isNew)
        notifyAdded(endpointId);
    notifyState(endpointId, DEVICE_STATE_ACTIVE);
}

void SimulatedEndpoints::disconnect(const std::string& endpointId) {
    {
        std::lock_guard guard(mutex_);
        const auto it = endpoints_.find(endpointId);
        if (it == endpoints_.end())
            return;
        it->second.state = DEVICE_STATE_NOTPRESENT;
    }
    notifyState(endpointId, DEVICE_STATE_NOTPRESENT);
}

std::uint32_t SimulatedEndpoints::state(const std::string& endpointId) const {
    std::lock_guard guard(mutex_);
    const auto it = endpoints_.find(endpointId);
    return it == endpoints_.end() ? DEVICE_STATE_NOTPRESENT : it->second.state;
}

void SimulatedEndpoints::notifyAdded(const std::string& endpointId) {
    std::lock_guard dispatch(dispatchMutex_);
    if (listener_)
        listener_->OnDeviceAdded(endpointId);
}

void SimulatedEndpoints::notifyState(const std::string& endpointId, std::uint32_t state) {
    std::lock_guard dispatch(dispatchMutex_);
    if (listener_)
        listener_->OnDeviceStateChanged(endpointId, state);
}

}  // namespace qm::sim
