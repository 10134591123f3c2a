#include "common/sdk/setting_calls.h"

#include "common/settings/setting_table.h"

namespace qm::sdk {
namespace {

using settings::Setting;

// Band 1..5 of an equaliser gain or mode setting; nothing for the other settings.
std::optional<int> bandOf(Setting s) {
    const auto index = static_cast<int>(settings::indexOf(s));
    if (s >= Setting::EQ_1_GAIN && s <= Setting::EQ_5_GAIN)
        return index - static_cast<int>(settings::indexOf(Setting::EQ_1_GAIN)) + 1;
    if (s >= Setting::EQ_1_BW_MODE && s <= Setting::EQ_5_BW_MODE)
        return index - static_cast<int>(settings::indexOf(Setting::EQ_1_BW_MODE)) + 1;
    return std::nullopt;
}

}  // namespace

std::string SettingCall::text() const {
    std::string out(operation);
    out += '(';
    if (band)
        out += std::to_string(*band) + ", ";
    out += std::to_string(value);
    out += ')';
    return out;
}

SettingCall settingCallFor(Setting setting, std::uint8_t value) {
    return {settings::settingInfo(setting).changedBy, bandOf(setting), value};
}

HRESULT sendSettingChange(IQMDevice& device, Setting setting, std::uint8_t value) {
    if (const auto band = bandOf(setting)) {
        const auto number = static_cast<unsigned char>(*band);
        return setting <= Setting::EQ_5_GAIN ? device.Set_EQ_GAIN(number, value)
                                             : device.Set_EQ_BAND_MODE(number, value);
    }
    switch (setting) {
        case Setting::DirVolume:
            return device.SetDirectionVolume(value);
        case Setting::Zoom:
            return device.SetZoom(value);
        case Setting::Beam:
            return device.SetBeam(value);
        case Setting::LPF:
            return device.Set_LPF(value);
        case Setting::HPF_1:
            return device.Set_HPF_1(value);
        case Setting::HPF_2:
            return device.Set_HPF_2(value);
        case Setting::Volume:
            return device.SetVolume(value);
        case Setting::EQ_NOTCH:
            return device.Set_EQ_NOTCH(value);
        case Setting::EQ_POWER:
            return device.Set_EQ_POWER(value);
        case Setting::ALC_RECOVERY:
            return device.Set_ALC_RECOVERY(value);
        case Setting::ALC_MODE:
            return device.Set_ALC_MODE(value);
        case Setting::ALC_REF_VALUE:
            return device.Set_ALC_REF_VALUE(value);
        case Setting::OUT_VOLUME:
            return device.Set_Ext_OutVolume(value);
        case Setting::TPA:
            return device.Set_Ext_TPA(value);
        default:
            return E_INVALIDARG;  // ALC_VOLUME: read only
    }
}

}  // namespace qm::sdk
