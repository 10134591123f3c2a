#include "studio/panels/device_xml_reader.h"

#include <limits>
#include <pugixml.hpp>

#include "common/settings/setting_table.h"

namespace qm::studio::panels {

std::int32_t leadingInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > kLimit + 1) {
            magnitude = kLimit + 1;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(magnitude > kLimit ? kLimit : magnitude);
}

std::optional<settings::DeviceSettings> readDeviceXml(std::string_view xml) {
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8)) {
        return std::nullopt;
    }
    const pugi::xml_node device = document.child("Device");
    settings::DeviceSettings bytes;
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (info.xmlAttribute.empty()) {
            continue;
        }
        const std::string name(info.xmlAttribute);
        const std::int32_t value = leadingInteger(device.attribute(name.c_str()).value());
        bytes[info.setting] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
    }
    return bytes;
}

}  // namespace qm::studio::panels
