#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/sdk/guid.h"

// Which USB device a sound server's capture source belongs to. A source of a real sound card
// names the card's device in sysfs ("sysfs.path"); the container id is then that of the card's
// USB parent, derived from its vendor id, product id and serial number exactly as for the
// microphone's HID-to-UART bridge, so both halves of one microphone agree. A source that names
// only its ALSA card number (PipeWire's do) is taken as that card's device in sysfs. (The
// server's own "device.serial" of such a source is udev's Vendor_Model_Serial, not the USB
// serial, and is not used.) A source without a sysfs device that calls itself a USB device (a
// virtual microphone) is identified by its "device.vendor.id", "device.product.id" and
// "device.serial".
namespace qm::audio {

struct SourceDeviceProperties {
    std::string sysfsPath;  // "sysfs.path"
    std::string alsaCard;   // "alsa.card" (PulseAudio) or "api.alsa.card" (PipeWire)
    std::string bus;        // "device.bus"
    std::string vendorId;   // "device.vendor.id", hexadecimal
    std::string productId;  // "device.product.id", hexadecimal
    std::string serial;     // "device.serial"
};

using SysfsContainerId = std::function<std::optional<sdk::Guid>(std::string_view devicePath)>;

std::optional<sdk::Guid> containerIdOfSource(const SourceDeviceProperties& source,
                                             const SysfsContainerId& ofSysfsDevice);

}  // namespace qm::audio
