#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/endpoints/endpoint_system.h"

namespace qm::endpoints {

// Audio endpoints of this machine: sound cards as udev reports them. A card's endpoint id is its
// sysfs path; its container id is derived from the USB device it belongs to, so that a USB
// microphone's card and its HID-to-UART bridge get the same id. A monitor thread reports cards
// that appear (added, then active) and disappear (not present); it ends on destruction.
//
// The container id of every card present at start or added since is remembered until the card
// is removed: by the time its removal is read, its sysfs entry and USB parent are gone.
class UdevEndpoints final : public EndpointSystem {
  public:
    UdevEndpoints();
    ~UdevEndpoints() override;
    UdevEndpoints(const UdevEndpoints&) = delete;
    UdevEndpoints& operator=(const UdevEndpoints&) = delete;

    // False when udev could not be opened; the object then reports nothing.
    bool available() const;

    void setListener(EndpointListener* listener) override;
    std::optional<sdk::Guid> containerIdOfEndpoint(const std::string& endpointId) override;
    std::optional<std::string> usbContainerId(std::string_view vendorId, std::string_view productId,
                                              std::string_view serial) override;

  private:
    struct Impl;
    void monitor(const std::stop_token& stop);

    std::unique_ptr<Impl> impl_;
    std::mutex dispatchMutex_;
    EndpointListener* listener_ = nullptr;
    std::jthread thread_;
};

// The container id of a sound card from the attributes of its USB parent device; nothing when
// the card is not on USB (no vendor or product id).
std::optional<sdk::Guid> containerIdFromUsbAttributes(std::string_view vendorId,
                                                      std::string_view productId,
                                                      std::string_view serial,
                                                      std::string_view devicePath);

// The container id of the USB device that a device in sysfs belongs to: `devicePath` is its
// path under /sys (with or without the "/sys" prefix), a sound card or any device below the USB
// device. Nothing when it can't be found or isn't on USB.
std::optional<sdk::Guid> containerIdOfSysfsDevice(std::string_view devicePath);

}  // namespace qm::endpoints
