#include "sim/virtual_rig.h"

#include "common/text/text.h"
#include "platform/endpoints/endpoint_system.h"

namespace qm::sim {

VirtualRig::VirtualRig(Clock& clock) : bus_(clock) {}

std::string VirtualRig::endpointIdOf(const std::string& serial) {
    return "{0.0.1.00000000}.virtual-capture-" + serial;
}

std::shared_ptr<VirtualMicrophone> VirtualRig::plug(const std::string& model,
                                                    const std::string& serial) {
    return plug(MicrophoneIdentity::make(model, serial));
}

std::shared_ptr<VirtualMicrophone> VirtualRig::plug(const MicrophoneIdentity& identity) {
    std::shared_ptr<VirtualMicrophone> mic;
    {
        std::lock_guard guard(mutex_);
        auto& slot = known_[identity.serial];
        if (!slot)
            slot = std::make_shared<VirtualMicrophone>(identity, bus_.clock());
        mic = slot;
    }
    const auto& id = mic->identity();
    bus_.plug(mic);
    endpoints_.rememberUsbDevice(text::format("%04X", id.vendorId),
                                 text::format("%04X", id.productId), id.serial, id.containerId);
    endpoints_.connect(endpointIdOf(id.serial), id.containerId);
    notify(mic, true);
    return mic;
}

bool VirtualRig::unplug(const std::string& serial) {
    if (!bus_.unplug(serial))
        return false;
    endpoints_.disconnect(endpointIdOf(serial));
    if (auto mic = microphone(serial))
        notify(mic, false);
    return true;
}

void VirtualRig::setPlugObserver(PlugObserver observer) {
    std::lock_guard guard(mutex_);
    observer_ = std::move(observer);
}

void VirtualRig::notify(const std::shared_ptr<VirtualMicrophone>& mic, bool plugged) {
    PlugObserver observer;
    {
        std::lock_guard guard(mutex_);
        observer = observer_;
    }
    if (observer)
        observer(mic, plugged);
}

std::string VirtualRig::plugForeignEndpoint(const std::string& name) {
    std::string id = "{0.0.1.00000000}.foreign-" + name;
    // Another maker's USB audio device: a container id of its own, and no bridge.
    endpoints_.connect(id, endpoints::usbDeviceContainerId("046D", "0A44", name));
    return id;
}

void VirtualRig::unplugForeignEndpoint(const std::string& endpointId) {
    endpoints_.disconnect(endpointId);
}

std::shared_ptr<VirtualMicrophone> VirtualRig::microphone(const std::string& serial) const {
    std::lock_guard guard(mutex_);
    const auto it = known_.find(serial);
    return it == known_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<VirtualMicrophone>> VirtualRig::microphones() const {
    std::lock_guard guard(mutex_);
    std::vector<std::shared_ptr<VirtualMicrophone>> out;
    for (const auto& [serial, mic] : known_)
        out.push_back(mic);
    return out;
}

}  // namespace qm::sim
