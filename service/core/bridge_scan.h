#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "common/sdk/guid.h"
#include "platform/endpoints/endpoint_system.h"
#include "platform/hiduart/hid_uart_api.h"

namespace qm::core {

// A microphone's bridge as one scan of the bridge library saw it.
struct BridgeInfo {
    std::uint32_t index = 0;
    std::string serial;
    std::string manufacturer;
    std::string product;
    std::optional<sdk::Guid> containerId;  // as the system knows the USB device
};

// The bridges of our microphones present right now: every bridge of the HID-to-UART family whose
// three strings could be read (10 ms apart, as the bridge needs), made by us or carrying the chip
// maker's name, with a serial and a product. Their container ids come from the system's record
// of the USB device.
class BridgeScan {
  public:
    static BridgeScan run(hiduart::HidUartApi& bridges, endpoints::EndpointSystem& endpoints,
                          Clock& clock);

    // The bridge whose USB container id is `containerId`.
    std::optional<BridgeInfo> find(const sdk::Guid& containerId) const;
    const std::vector<BridgeInfo>& bridges() const { return bridges_; }

  private:
    std::vector<BridgeInfo> bridges_;
};

// One string of the bridge at `index` (HID_UART_GET_SERIAL_STR, ..._MANUFACTURER_STR or
// ..._PRODUCT_STR) as the library left it in its buffer, and the library's status.
hiduart::HID_UART_STATUS readBridgeString(hiduart::HidUartApi& api, std::uint32_t index,
                                          std::uint32_t kind, std::string& out);
// Whether a string read gave a string: the library reports a time-out also for a string it read.
bool bridgeStringRead(hiduart::HID_UART_STATUS status);

// Manufacturers whose bridges are ours.
bool isAcceptedManufacturer(std::string_view manufacturer);

}  // namespace qm::core
