#include "platform/hiduart/bridge_enumeration.h"

#include <algorithm>
#include <cstring>

#include "common/text/text.h"
#include "platform/hiduart/hid_uart_api.h"

namespace qm::hiduart {

bool isHidUartFamilyBridge(const HidDeviceInfo& device) {
    return device.vendorId == kSiliconLabsVid &&
           (device.productId == kCp2114Pid || device.productId == kCp2110Pid);
}

bool matchesBridgeFilter(const HidDeviceInfo& device, std::uint16_t vid, std::uint16_t pid) {
    if (vid != 0 && device.vendorId != vid) {
        return false;
    }
    if (pid != 0 && device.productId != pid) {
        return false;
    }
    return (vid != 0 && pid != 0) || isHidUartFamilyBridge(device);
}

std::vector<HidDeviceInfo> matchingBridges(HidTransport& transport, std::uint16_t vid,
                                           std::uint16_t pid) {
    std::vector<HidDeviceInfo> bridges = transport.enumerate();
    std::erase_if(bridges,
                  [&](const HidDeviceInfo& d) { return !matchesBridgeFilter(d, vid, pid); });
    std::stable_sort(
        bridges.begin(), bridges.end(),
        [](const HidDeviceInfo& a, const HidDeviceInfo& b) { return a.path < b.path; });
    // A device listed twice under one path is one device.
    bridges.erase(std::unique(bridges.begin(), bridges.end(),
                              [](const HidDeviceInfo& a, const HidDeviceInfo& b) {
                                  return a.path == b.path;
                              }),
                  bridges.end());
    return bridges;
}

bool isBridgeStringKind(std::uint32_t kind) {
    return kind >= HID_UART_GET_VID_STR && kind <= HID_UART_GET_PRODUCT_STR;
}

std::optional<std::string> bridgeString(const HidDeviceInfo& device, std::uint32_t kind) {
    switch (kind) {
        case HID_UART_GET_VID_STR:
            return text::format("%04X", static_cast<unsigned>(device.vendorId));
        case HID_UART_GET_PID_STR:
            return text::format("%04X", static_cast<unsigned>(device.productId));
        case HID_UART_GET_PATH_STR:
            return device.path;
        case HID_UART_GET_SERIAL_STR:
            return device.serialNumber;
        case HID_UART_GET_MANUFACTURER_STR:
            return device.manufacturer;
        case HID_UART_GET_PRODUCT_STR:
            return device.product;
        default:
            return std::nullopt;
    }
}

void copyBridgeString(std::string_view text, char* out) {
    const std::string_view fitted = text::truncateUtf8Bytes(text, HID_UART_DEVICE_STRLEN - 1);
    std::memcpy(out, fitted.data(), fitted.size());
    out[fitted.size()] = '\0';
}

}  // namespace qm::hiduart
