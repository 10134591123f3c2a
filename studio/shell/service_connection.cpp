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

}  // namespace

std::string serialOf(sdk::IQMDevice& device) {
    std::string serial;
    if (sdk::FAILED(device.GetDeviceSN(serial))) {
        return {};
    }
    return serial;
}

ServiceConnection::ServiceConnection(ServiceConnector& connector, Clock& clock,
                                     Duration initializeLimit)
    : connector_(connector), clock_(clock), initializeLimit_(initializeLimit) {}

ServiceConnection::~ServiceConnection() {
    Disconnect();
}

sdk::HRESULT ServiceConnection::Connect() {
    Disconnect();
    // Audio endpoints that appear later are not followed: a microphone whose endpoint was
    // missing is matched when it is selected again.
    std::shared_ptr<sdk::IQuillmereSDK> service = connector_.connect();
    if (service == nullptr) {
        return sdk::E_FAIL;
    }
    const TimePoint deadline = clock_.now() + initializeLimit_;
    while (service->IsInitialize() != sdk::S_OK) {
        if (clock_.now() >= deadline) {
            return sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT);
        }
        clock_.sleepFor(kInitializePoll);
    }
    sdk_ = std::move(service);
    enumerate(*sdk_, [this](DevicePtr device) { devices_.push_back(std::move(device)); });
    return sdk::S_OK;
}

void ServiceConnection::Disconnect() {
    devices_.clear();
    sdk_.reset();
}

ServiceConnection::DevicePtr ServiceConnection::findBySerial(std::string_view serial) const {
    for (const DevicePtr& device : devices_) {
        if (text::asciiIEquals(serialOf(*device), serial)) {
            return device;
        }
    }
    return nullptr;
}

bool ServiceConnection::contains(const DevicePtr& device) const {
    return device != nullptr &&
           std::find(devices_.begin(), devices_.end(), device) != devices_.end();
}

bool ServiceConnection::removeBySerial(std::string_view serial) {
    const auto found = std::find_if(devices_.begin(), devices_.end(), [serial](const DevicePtr& d) {
        return text::asciiIEquals(serialOf(*d), serial);
    });
    if (found == devices_.end()) {
        return false;
    }
    devices_.erase(found);
    return true;
}

ServiceConnection::DevicePtr ServiceConnection::fetchNew(std::string_view serial) {
    if (sdk_ == nullptr) {
        return nullptr;
    }
    DevicePtr match;
    enumerate(*sdk_, [&match, serial](DevicePtr device) {
        if (match == nullptr && text::asciiIEquals(serialOf(*device), serial)) {
            match = std::move(device);
        }
    });
    if (match != nullptr) {
        devices_.push_back(match);
    }
    return match;
}

}  // namespace qm::studio
