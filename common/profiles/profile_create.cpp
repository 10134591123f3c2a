#include "common/profiles/profile_create.h"

#include <pugixml.hpp>
#include <system_error>

#include "common/profiles/profile_file.h"
#include "common/profiles/profile_folder.h"
#include "common/sdk/device_identity.h"

namespace qm::profiles {

std::optional<CProfile> profileFromDescription(std::string_view xml, std::string& error) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        error = std::string("the microphone's description is not XML: ") + parsed.description();
        return std::nullopt;
    }
    const pugi::xml_node device = document.child("Device");
    if (!device) {
        error = "the microphone's description has no Device element";
        return std::nullopt;
    }
    CProfile record;
    const auto text = [&](std::string sdk::DeviceIdentity::*field) {
        return device.attribute(std::string(sdk::identityAttribute(field)).c_str()).value();
    };
    record.serial = text(&sdk::DeviceIdentity::serial);
    record.model = text(&sdk::DeviceIdentity::name);
    for (std::size_t i = 0; i < settings::kSettingCount; ++i) {
        const std::string attribute(profileAttribute(settings::settingAt(i)));
        record.values[i] = device.attribute(attribute.c_str()).value();
    }
    return record;
}

std::optional<CProfile> createFromDevice(sdk::IQMDevice& device,
                                         const std::filesystem::path& profileFolder,
                                         std::string_view name, std::string_view description,
                                         std::string& error) {
    std::string xml;
    if (sdk::FAILED(device.GetDeviceXML(xml))) {
        error = kDeviceNotReady;
        return std::nullopt;
    }
    return createFromDescription(xml, profileFolder, name, description, error);
}

std::optional<CProfile> createFromDescription(std::string_view xml,
                                              const std::filesystem::path& profileFolder,
                                              std::string_view name, std::string_view description,
                                              std::string& error) {
    std::optional<CProfile> record = profileFromDescription(xml, error);
    if (!record)
        return std::nullopt;
    record->id = newProfileId();
    record->name = name;
    record->description = description;
    const auto path = profileFilePath(profileFolder, record->model, record->id);
    if (!path) {
        error =
            "profiles are kept only for the models Alder, Birch, Cedar, Larch, Rowan and "
            "CP2114 USB-Audio Bridge";
        return std::nullopt;
    }
    std::error_code ignored;
    std::filesystem::create_directories(path->parent_path(), ignored);
    record->path = path->string();
    std::string fileError;
    if (!writeProfile(*record, fileError)) {
        error = "the profile file " + record->path + " " + fileError;
        return std::nullopt;
    }
    return record;
}

}  // namespace qm::profiles
