#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/sdk/guid.h"
#include "common/sdk/interfaces.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/studio_hooks.h"

namespace qm::studio {

// The container id of a USB device from its vendor and product ids (hexadecimal text) and its
// serial number, as the platform derives it; nothing when an id isn't a hexadecimal number.
std::optional<sdk::Guid> usbContainerIdOf(const std::string& vendorId, const std::string& productId,
                                          const std::string& serial);

// The selected microphone and what selecting one does: every view and panel to idle, capture
// stopped, then for a microphone its capture endpoint found through its USB container id, the
// output devices listed, the panels of its model enabled and filled, and capture started.
// A microphone whose endpoint isn't found stays selected with its panels disabled. Selecting
// never calls the service: it works from what the studio knows of the microphone.
//
// Every selection, also of the same microphone again, gets a new ticket. Work that outlives the
// moment it was started for (a call's result, a question the user answers later) takes the
// ticket, or guard(), and checks it before it touches anything.
class DeviceSelection {
  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;
    using Ticket = std::uint64_t;

    explicit DeviceSelection(const StudioHooks& hooks);

    void select(DevicePtr device, const DeviceInfo& info);
    void selectNone();

    const DevicePtr& selected() const { return selected_; }
    const std::string& selectedSerial() const { return info_.serial; }
    const DeviceInfo& selectedInfo() const { return info_; }
    const std::optional<std::string>& captureEndpoint() const { return endpoint_; }
    // True when the selected microphone has this serial number (ASCII case-insensitive).
    bool isSelected(const std::string& serial) const;

    Ticket ticket() const { return *ticket_; }
    // True while no other selection was made since `ticket` was taken.
    bool isCurrent(Ticket ticket) const { return *ticket_ == ticket; }
    // Holds while the selection made when it was taken is the current one; safe to keep after
    // the selection object is gone (it then fails).
    ResultGuard guard() const;

  private:
    const StudioHooks& hooks_;
    DevicePtr selected_;
    DeviceInfo info_;
    std::optional<std::string> endpoint_;
    std::shared_ptr<Ticket> ticket_ = std::make_shared<Ticket>(0);
};

}  // namespace qm::studio
