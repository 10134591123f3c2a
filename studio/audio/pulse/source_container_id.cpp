#include "studio/audio/pulse/source_container_id.h"

#include <algorithm>

#include "common/text/text.h"
#include "platform/endpoints/udev_endpoints.h"

namespace qm::audio {

std::optional<sdk::Guid> containerIdOfSource(const SourceDeviceProperties& source,
                                             const SysfsContainerId& ofSysfsDevice) {
    if (!source.sysfsPath.empty()) {
        return ofSysfsDevice ? ofSysfsDevice(source.sysfsPath) : std::nullopt;
    }
    const bool cardNumber = !source.alsaCard.empty() && source.alsaCard.size() <= 4 &&
                            std::all_of(source.alsaCard.begin(), source.alsaCard.end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
    if (cardNumber) {
        return ofSysfsDevice ? ofSysfsDevice("/sys/class/sound/card" + source.alsaCard)
                             : std::nullopt;
    }
    if (!text::asciiIEquals(source.bus, "usb") || source.serial.empty()) {
        return std::nullopt;
    }
    return endpoints::containerIdFromUsbAttributes(source.vendorId, source.productId, source.serial,
                                                   {});
}

}  // namespace qm::audio
