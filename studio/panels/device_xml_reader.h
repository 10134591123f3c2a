#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/settings/device_settings.h"

namespace qm::studio::panels {

// The number an attribute's text stands for, as the panels read it: leading blanks skipped, an
// optional sign, then decimal digits up to the first other character; no digits gives 0. The
// result saturates at the 32-bit limits; its low 8 bits are the setting byte.
std::int32_t leadingInteger(std::string_view text);

// The setting bytes that the service's description of a microphone (IQMDevice::GetDeviceXML)
// gives: each the attribute of the top-level "Device" element named as the setting's XML
// attribute, its low 8 bits. A missing element or attribute reads as 0 (ALC_VOLUME has no
// attribute and is always 0). Nothing when the text isn't XML.
std::optional<settings::DeviceSettings> readDeviceXml(std::string_view xml);

}  // namespace qm::studio::panels
