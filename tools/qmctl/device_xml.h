#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/sdk/device_identity.h"

// Reading the service's description of a microphone (IQMDevice::GetDeviceXML): the identity
// attributes of its "Device" element and every other attribute as a setting, in document order.
namespace qm::qmctl {

struct DescribedSetting {
    std::string attribute;  // as the XML names it ("DspVolume", "DirZoom", ...)
    std::string name;       // the setting's registry name, the one `set` takes ("Volume", ...);
                            // the attribute itself for an attribute no setting has
    std::string text;       // the attribute's text
    // The number the text holds, when it is a plain decimal integer.
    std::optional<std::int64_t> value;
};

struct DeviceDescription : sdk::DeviceIdentity {
    std::vector<DescribedSetting> settings;
};

// Nothing, with the reason in `error`, when the text is not XML or has no top-level "Device"
// element.
std::optional<DeviceDescription> parseDeviceXml(std::string_view xml, std::string& error);

}  // namespace qm::qmctl
