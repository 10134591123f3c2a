#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/sdk/guid.h"
#include "common/sdk/interfaces.h"
#include "studio/shell/studio_hooks.h"

namespace qm::studio {

// The container id of a USB device from its vendor and product ids (hexadecimal text) and its
// serial number, as the platform derives it; nothing when an id isn't a hexadecimal number.
std::optional<sdk::Guid> usbContainerIdOf(const std::string& vendorId, const std::string& productId,
                                          const std::string& serial);

// The selected microphone and what selecting one does: every view and panel to idle, capture
// stopped, then for a microphone its capture endpoint found through its USB container id, the
// output devices listed, the panels of its model enabled and filled, and capture started.
// A microphone whose endpoint isn't found stays selected with its panels disabled.
class DeviceSelection {
  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;

    explicit DeviceSelection(const StudioHooks& hooks);

    void select(DevicePtr device);

    const DevicePtr& selected() const { return selected_; }
    const std::string& selectedSerial() const { return selectedSerial_; }
    const std::optional<std::string>& captureEndpoint() const { return endpoint_; }
    // True when the selected microphone has this serial number (ASCII case-insensitive).
    bool isSelected(const std::string& serial) const;

  private:
    const StudioHooks& hooks_;
    DevicePtr selected_;
    std::string selectedSerial_;
    std::optional<std::string> endpoint_;
};

}  // namespace qm::studio
