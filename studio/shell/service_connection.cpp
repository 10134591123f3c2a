#include "studio/shell/service_connection.h"

#include <algorithm>

#include "common/text/text.h"
#include "studio/shell/service_connector.h"

namespace qm::studio {
namespace {

// Takes the enumerator's microphones one at a time until it returns anything but S_OK.
template <typename Visit>
void enumerate(sdk::IQuillmereSDK& service, Visit visit) {
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    if (sdk::FAILED(service.EnumQMDevice(&enumerator)) || enumerator == nullptr) {
        return;
    }
    while (true) {
        std::shared_ptr<sdk::IQMDevice> device;
        unsigned long fetched = 0;
        if (enumerator->Next(1, &device, &fetched) != sdk::S_OK || fetched != 1) {
            break;
        }
        if (device != nullptr) {
            visit(std::move(device));
        }
    }
}

// A string the microphone gives, or empty when the call fails.
template <typename Getter>
std::string readText(sdk::IQMDevice& device, Getter getter) {
    std::string text;
    if (sdk::FAILED((device.*getter)(text))) {
        text.clear();
    }
    return text;
}

// The identified microphone with this serial number in `devices` (const or not), or null.
template <typename Devices>
auto* findSerialIn(Devices& devices, std::string_view serial) {
    const auto found = std::find_if(devices.begin(), devices.end(), [serial](const auto& d) {
        return d.info.identified && text::asciiIEquals(d.info.serial, serial);
    });
    return found == devices.end() ? nullptr : &*found;
}

}  // namespace

DeviceInfo readDeviceInfo(sdk::IQMDevice& device) {
    DeviceInfo info;
    const bool named = sdk::SUCCEEDED(device.GetName(info.name));
    const bool serialRead = sdk::SUCCEEDED(device.GetDeviceSN(info.serial));
    info.identified = named && serialRead;
    info.vendorId = readText(device, &sdk::IQMDevice::GetVendorID);
    info.productId = readText(device, &sdk::IQMDevice::GetProductID);
    info.friendlyName = readText(device, &sdk::IQMDevice::GetFriendlyName);
    info.description = readText(device, &sdk::IQMDevice::GetDescription);
    info.started = device.IsStarted() == sdk::S_OK;
    return info;
}

ServiceSnapshot takeServiceSnapshot(ServiceConnector& connector, Clock& clock,
                                    Duration initializeLimit) {
    ServiceSnapshot snapshot;
    std::shared_ptr<sdk::IQuillmereSDK> service = connector.connect();
    if (service == nullptr) {
        snapshot.result = sdk::E_FAIL;
        return snapshot;
    }
    const TimePoint deadline = clock.now() + initializeLimit;
    while (service->IsInitialize() != sdk::S_OK) {
        if (clock.now() >= deadline) {
            snapshot.result = sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT);
            return snapshot;
        }
        clock.sleepFor(kInitializePoll);
    }
    enumerate(*service, [&snapshot](std::shared_ptr<sdk::IQMDevice> device) {
        DeviceInfo info = readDeviceInfo(*device);
        snapshot.devices.push_back({std::move(device), std::move(info)});
    });
    snapshot.sdk = std::move(service);
    snapshot.result = sdk::S_OK;
    return snapshot;
}

std::optional<ServiceDevice> fetchDevice(sdk::IQuillmereSDK& service, std::string_view serial) {
    std::optional<ServiceDevice> match;
    enumerate(service, [&match, serial](std::shared_ptr<sdk::IQMDevice> device) {
        std::string candidate;
        if (match || sdk::FAILED(device->GetDeviceSN(candidate)) ||
            !text::asciiIEquals(candidate, serial)) {
            return;
        }
        DeviceInfo info = readDeviceInfo(*device);
        match = ServiceDevice{std::move(device), std::move(info)};
    });
    return match;
}

ServiceConnection::ServiceConnection(ServiceConnector& connector, Clock& clock,
                                     Duration initializeLimit)
    : connector_(connector), clock_(clock), initializeLimit_(initializeLimit) {}

void ServiceConnection::install(ServiceSnapshot snapshot) {
    Disconnect();
    if (sdk::FAILED(snapshot.result) || snapshot.sdk == nullptr) {
        return;
    }
    sdk_ = std::move(snapshot.sdk);
    devices_ = std::move(snapshot.devices);
}

void ServiceConnection::Disconnect() {
    ++generation_;
    devices_.clear();
    sdk_.reset();
}

ServiceDevice* ServiceConnection::find(std::string_view serial) {
    return findSerialIn(devices_, serial);
}

const ServiceDevice* ServiceConnection::find(std::string_view serial) const {
    return findSerialIn(devices_, serial);
}

ServiceDevice* ServiceConnection::find(const DevicePtr& device) {
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&device](const auto& d) { return d.device == device; });
    return device == nullptr || found == devices_.end() ? nullptr : &*found;
}

bool ServiceConnection::contains(const DevicePtr& device) const {
    return device != nullptr &&
           std::any_of(devices_.begin(), devices_.end(),
                       [&device](const auto& d) { return d.device == device; });
}

bool ServiceConnection::isStarted(std::string_view serial) const {
    const ServiceDevice* device = find(serial);
    return device != nullptr && device->info.started;
}

void ServiceConnection::append(ServiceDevice device) {
    devices_.push_back(std::move(device));
}

bool ServiceConnection::removeBySerial(std::string_view serial) {
    ServiceDevice* device = find(serial);
    if (device == nullptr) {
        return false;
    }
    devices_.erase(devices_.begin() + (device - devices_.data()));
    return true;
}

}  // namespace qm::studio
