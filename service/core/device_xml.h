#pragma once

#include <string>

#include "common/sdk/device_identity.h"
#include "common/settings/device_settings.h"

namespace qm::core {

using sdk::DeviceIdentity;

// The device description: an XML declaration (version 1.0, encoding utf-8), a line feed, one
// empty "Device" element whose attributes are the serial, the identity strings and the settings
// the model shows (in table order, as decimal numbers), and a line feed.
std::string buildDeviceXml(const DeviceIdentity& identity, const settings::DeviceSettings& values);

}  // namespace qm::core
