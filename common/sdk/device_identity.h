#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qm::sdk {

// Who a microphone is: the identity strings of its device description (the XML that
// IQMDevice::GetDeviceXML returns), which the service also keeps in its registry cache.
struct DeviceIdentity {
    std::string serial;
    std::string containerId;
    std::string name;  // the product name: the model
    std::string friendlyName;
    std::string description;
};

// The attribute of the description's "Device" element that holds each identity string, in the
// order the description lists them.
struct IdentityAttribute {
    std::string_view name;
    std::string DeviceIdentity::*field;
};

inline constexpr std::array<IdentityAttribute, 5> kIdentityAttributes{{
    {"SN", &DeviceIdentity::serial},
    {"ContainerID", &DeviceIdentity::containerId},
    {"Name", &DeviceIdentity::name},
    {"FriendlyName", &DeviceIdentity::friendlyName},
    {"Description", &DeviceIdentity::description},
}};

// The attribute that holds `field`.
constexpr std::string_view identityAttribute(std::string DeviceIdentity::*field) {
    for (const IdentityAttribute& attribute : kIdentityAttributes) {
        if (attribute.field == field) {
            return attribute.name;
        }
    }
    return {};
}

}  // namespace qm::sdk
