#include "studio/audio/pulse/source_container_id.h"

#include "common/text/text.h"
#include "platform/endpoints/udev_endpoints.h"

namespace qm::audio {

std::optional<sdk::Guid> containerIdOfSource(const SourceDeviceProperties& source,
                                             const SysfsContainerId& ofSysfsDevice) {
    if (!source.sysfsPath.empty()) {
        return ofSysfsDevice ? ofSysfsDevice(source.sysfsPath) : std::nullopt;
    }
    if (!text::asciiIEquals(source.bus, "usb") || source.serial.empty()) {
        return std::nullopt;
    }
    return endpoints::containerIdFromUsbAttributes(source.vendorId, source.productId, source.serial,
                                                   {});
}

}  // namespace qm::audio
