#include "service/core/device_xml.h"

#include <pugixml.hpp>

#include "common/settings/models.h"
#include "common/settings/setting_table.h"

namespace qm::core {
namespace {

// Appends every chunk pugixml writes to one string.
class StringWriter final : public pugi::xml_writer {
  public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

  private:
    std::string& out_;
};

}  // namespace

std::string buildDeviceXml(const DeviceIdentity& identity, const settings::DeviceSettings& values) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";

    pugi::xml_node device = document.append_child("Device");
    for (const sdk::IdentityAttribute& attribute : sdk::kIdentityAttributes) {
        const std::string name(attribute.name);
        device.append_attribute(name.c_str()) = (identity.*attribute.field).c_str();
    }

    const settings::Model model = settings::modelFromProductName(identity.name);
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (info.xmlAttribute.empty() ||
            !settings::hasSetting(model, info.setting, settings::Place::DeviceXml)) {
            continue;
        }
        const std::string name(info.xmlAttribute);
        device.append_attribute(name.c_str()) = static_cast<unsigned>(values[info.setting]);
    }

    std::string xml;
    StringWriter writer(xml);
    document.save(writer, "", pugi::format_default, pugi::encoding_utf8);
    return xml;
}

}  // namespace qm::core
