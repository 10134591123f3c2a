#include "common/settings/models.h"

#include "common/text/text.h"

namespace qm::settings {

Model modelFromProductName(std::string_view name) {
    static constexpr Model kModels[] = {Model::Alder, Model::Birch, Model::Cedar,
                                        Model::Larch, Model::Rowan, Model::Cp2114Bridge};
    for (std::size_t i = 0; i < kProductNames.size(); ++i) {
        if (text::asciiIEquals(name, kProductNames[i]))
            return kModels[i];
    }
    return Model::Unknown;
}

std::string_view productName(Model model) {
    const auto i = static_cast<std::size_t>(model);
    return i < kProductNames.size() ? kProductNames[i] : std::string_view{};
}

SettingGroup groupOf(Setting s) {
    switch (s) {
        case Setting::DirVolume:
        case Setting::Zoom:
        case Setting::Beam:
            return SettingGroup::Direction;
        case Setting::OUT_VOLUME:
            return SettingGroup::OutVolume;
        case Setting::TPA:
            return SettingGroup::InputGain;
        default:
            return SettingGroup::Common;
    }
}

bool hasGroup(Model m, SettingGroup group, Place place) {
    const bool alderBirch = m == Model::Alder || m == Model::Birch;
    const bool larchRowan = m == Model::Larch || m == Model::Rowan;
    const bool outVolumeModels = m == Model::Birch || m == Model::Cedar || larchRowan;
    switch (group) {
        case SettingGroup::Common:
            return true;
        case SettingGroup::Direction:
            // The generic bridge keeps direction values in the cache but neither reads them
            // from the microphone nor shows them in the XML.
            return alderBirch || (place == Place::RegistryCache && m == Model::Cp2114Bridge);
        case SettingGroup::OutVolume:
            return outVolumeModels || (place != Place::DeviceXml && m == Model::Cp2114Bridge);
        case SettingGroup::InputGain:
            return larchRowan;
    }
    return false;
}

}  // namespace qm::settings
