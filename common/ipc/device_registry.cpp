#include "common/ipc/device_registry.h"

#include "common/ipc/bus_names.h"

namespace qm::ipc {

DeviceRegistry::DeviceRegistry(sdbus::IConnection& connection, ClientCalls& calls)
    : connection_(connection), calls_(calls) {}

DeviceRegistry::~DeviceRegistry() = default;

std::vector<std::string> DeviceRegistry::publish(
    const std::vector<std::shared_ptr<sdk::IQMDevice>>& devices, const std::string& client) {
    std::vector<std::string> paths;
    paths.reserve(devices.size());
    std::lock_guard guard(mutex_);
    // Asked under the lock: the sweep for a departed client runs after its departure was
    // recorded, so either this sees the departure or the sweep comes later and sees the holder.
    const bool holderLeft = calls_.hasLeft(client);
    for (auto& [path, entry] : exports_) {
        entry.listed = false;
    }
    for (const auto& device : devices) {
        if (!device) {
            paths.emplace_back(kNullObjectPath);
            continue;
        }
        const std::string path = pathFor(device);
        Export& entry = exports_[path];
        if (!entry.adaptor) {
            entry.adaptor = std::make_unique<DeviceAdaptor>(connection_, path, device, calls_);
        }
        entry.listed = true;
        if (!holderLeft) {
            entry.holders.insert(client);
        }
        paths.push_back(path);
    }
    sweep();
    return paths;
}

std::shared_ptr<sdk::IQMDevice> DeviceRegistry::find(const std::string& path) const {
    std::lock_guard guard(mutex_);
    const auto it = exports_.find(path);
    return it != exports_.end() ? it->second.adaptor->device() : nullptr;
}

void DeviceRegistry::clientLeft(const std::string& client) {
    std::lock_guard guard(mutex_);
    for (auto& [path, entry] : exports_) {
        entry.holders.erase(client);
    }
    sweep();
}

std::size_t DeviceRegistry::exportedCount() const {
    std::lock_guard guard(mutex_);
    return exports_.size();
}

std::string DeviceRegistry::pathFor(const std::shared_ptr<sdk::IQMDevice>& device) {
    const auto it = reservations_.find(device.get());
    if (it != reservations_.end() && it->second.device.lock() == device) {
        return it->second.path;
    }
    std::string serial;
    if (sdk::FAILED(device->GetDeviceSN(serial))) {
        serial.clear();
    }
    std::string path;
    for (unsigned ordinal = 1;; ++ordinal) {
        path = devicePath(serial, ordinal);
        if (!pathTaken(path, device.get())) {
            break;
        }
    }
    reservations_[device.get()] = PathReservation{device, path};
    return path;
}

bool DeviceRegistry::pathTaken(const std::string& path, const sdk::IQMDevice* except) const {
    for (const auto& [object, reservation] : reservations_) {
        if (object != except && reservation.path == path && !reservation.device.expired()) {
            return true;
        }
    }
    return exports_.contains(path);
}

void DeviceRegistry::sweep() {
    std::erase_if(exports_, [](const auto& item) {
        return !item.second.listed && item.second.holders.empty();
    });
    std::erase_if(reservations_, [](const auto& item) { return item.second.device.expired(); });
}

}  // namespace qm::ipc
