#include "tools/qmctl/device_xml.h"

#include <algorithm>
#include <charconv>
#include <pugixml.hpp>

#include "common/settings/setting_table.h"

namespace qm::qmctl {
namespace {

std::optional<std::int64_t> plainInteger(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string registryNameOf(std::string_view attribute) {
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (!info.xmlAttribute.empty() && info.xmlAttribute == attribute)
            return std::string(info.registryName);
    }
    return std::string(attribute);
}

}  // namespace

std::optional<DeviceDescription> parseDeviceXml(std::string_view xml, std::string& error) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        error = std::string("the description is not XML: ") + parsed.description() + " at offset " +
                std::to_string(parsed.offset);
        return std::nullopt;
    }
    const pugi::xml_node device = document.child("Device");
    if (!device) {
        error = "the description has no Device element";
        return std::nullopt;
    }
    DeviceDescription description;
    for (const pugi::xml_attribute& attribute : device.attributes()) {
        const std::string_view name = attribute.name();
        const std::string_view value = attribute.value();
        const auto identity =
            std::find_if(sdk::kIdentityAttributes.begin(), sdk::kIdentityAttributes.end(),
                         [&](const sdk::IdentityAttribute& known) { return known.name == name; });
        if (identity != sdk::kIdentityAttributes.end()) {
            description.*identity->field = value;
        } else {
            description.settings.push_back(
                {std::string(name), registryNameOf(name), std::string(value), plainInteger(value)});
        }
    }
    return description;
}

}  // namespace qm::qmctl
