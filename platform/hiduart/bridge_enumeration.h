#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hiduart/hid_transport.h"

// Which HID devices count as bridges for a vendor and product filter, in which order, and the
// identity strings the library hands out for them.
namespace qm::hiduart {

// A CP2114 or CP2110 with the chip maker's own ids.
bool isHidUartFamilyBridge(const HidDeviceInfo& device);

// vid 0 and pid 0 select every bridge of the family. A nonzero id must match exactly; when only
// one of the two is given, the device must also be of the family. Both given: exactly that pair
// (a bridge with customised ids can still be reached by naming them).
bool matchesBridgeFilter(const HidDeviceInfo& device, std::uint16_t vid, std::uint16_t pid);

// The bridges the filter selects, ordered by device path so that an index stays the same from one
// enumeration to the next while nothing is plugged or unplugged.
std::vector<HidDeviceInfo> matchingBridges(HidTransport& transport, std::uint16_t vid,
                                           std::uint16_t pid);

// HID_UART_GET_VID_STR .. HID_UART_GET_PRODUCT_STR.
bool isBridgeStringKind(std::uint32_t kind);

// The string of the given kind (HID_UART_GET_VID_STR .. HID_UART_GET_PRODUCT_STR); nothing for
// an unknown kind. Ids are four upper-case hexadecimal digits, as in USB enumeration key names.
std::optional<std::string> bridgeString(const HidDeviceInfo& device, std::uint32_t kind);

// Copies `text` into a HID_UART_DEVICE_STRLEN-byte buffer, cut on a character boundary so that
// the zero terminator always fits.
void copyBridgeString(std::string_view text, char* out);

}  // namespace qm::hiduart
