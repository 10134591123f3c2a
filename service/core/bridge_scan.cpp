#include "service/core/bridge_scan.h"

#include "common/text/text.h"

namespace qm::core {

using namespace std::chrono_literals;

namespace {

constexpr auto kStringWait = 10ms;

bool readString(hiduart::HidUartApi& api, std::uint32_t index, std::uint32_t kind,
                std::string& out) {
    return bridgeStringRead(readBridgeString(api, index, kind, out));
}

}  // namespace

hiduart::HID_UART_STATUS readBridgeString(hiduart::HidUartApi& api, std::uint32_t index,
                                          std::uint32_t kind, std::string& out) {
    char buffer[hiduart::HID_UART_DEVICE_STRLEN] = {};
    const auto status = api.GetString(index, 0, 0, buffer, kind);
    buffer[sizeof buffer - 1] = '\0';
    out = buffer;
    return status;
}

bool bridgeStringRead(hiduart::HID_UART_STATUS status) {
    return status == hiduart::HID_UART_SUCCESS || status == hiduart::HID_UART_READ_TIMED_OUT;
}

bool isAcceptedManufacturer(std::string_view manufacturer) {
    return text::asciiIEquals(manufacturer, "QUILLMERE") ||
           text::asciiIEquals(manufacturer, "Silicon Laboratories");
}

BridgeScan BridgeScan::run(hiduart::HidUartApi& bridges, endpoints::EndpointSystem& endpoints,
                           Clock& clock) {
    BridgeScan scan;
    std::uint32_t count = 0;
    if (bridges.GetNumDevices(&count, 0, 0) != hiduart::HID_UART_SUCCESS)
        return scan;
    for (std::uint32_t index = 0; index < count; ++index) {
        BridgeInfo info;
        info.index = index;
        clock.sleepFor(kStringWait);
        bool ok = readString(bridges, index, hiduart::HID_UART_GET_SERIAL_STR, info.serial);
        clock.sleepFor(kStringWait);
        ok =
            readString(bridges, index, hiduart::HID_UART_GET_MANUFACTURER_STR, info.manufacturer) &&
            ok;
        clock.sleepFor(kStringWait);
        ok = readString(bridges, index, hiduart::HID_UART_GET_PRODUCT_STR, info.product) && ok;
        if (!ok || !isAcceptedManufacturer(info.manufacturer) || info.serial.empty() ||
            info.product.empty()) {
            continue;
        }
        // The system's record of the USB device under the chip maker's ids.
        if (auto text = endpoints.usbContainerId("10C4", "EAB0", info.serial)) {
            info.containerId = sdk::Guid::parseContainerId(*text);
        }
        scan.bridges_.push_back(std::move(info));
    }
    return scan;
}

std::optional<BridgeInfo> BridgeScan::find(const sdk::Guid& containerId) const {
    for (const BridgeInfo& info : bridges_) {
        if (info.containerId == containerId)
            return info;
    }
    return std::nullopt;
}

}  // namespace qm::core
