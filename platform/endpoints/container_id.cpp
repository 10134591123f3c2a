#include "common/text/text.h"
#include "platform/endpoints/endpoint_system.h"

namespace qm::endpoints {
namespace {

// Namespace of USB container ids.
constexpr sdk::Guid kUsbContainerSpace{
    0x2f8a61d0, 0x9b47, 0x4c3e, {0xa1, 0x5e, 0x6d, 0x02, 0xc7, 0x3b, 0x90, 0x14}};

}  // namespace

sdk::Guid usbDeviceContainerId(std::string_view vendorId, std::string_view productId,
                               std::string_view serialOrPath) {
    const std::string name = "usb:" + text::asciiUpperCopy(vendorId) + ":" +
                             text::asciiUpperCopy(productId) + ":" + std::string(serialOrPath);
    return sdk::Guid::fromName(kUsbContainerSpace, name);
}

}  // namespace qm::endpoints
