#include "studio/panels/setting_call.h"

namespace qm::studio::panels {
namespace {

using Byte = unsigned char;

Byte byteOf(int value) {
    return static_cast<Byte>(value & 0xFF);
}

const char* nameOf(SettingMethod method) {
    switch (method) {
        case SettingMethod::SetVolume:
            return "SetVolume";
        case SettingMethod::SetVolumeNorm:
            return "SetVolumeNorm";
        case SettingMethod::SetVolumeMute:
            return "SetVolumeMute";
        case SettingMethod::Set_ALC_REF_VALUE:
            return "Set_ALC_REF_VALUE";
        case SettingMethod::Set_ALC_RECOVERY:
            return "Set_ALC_RECOVERY";
        case SettingMethod::Set_ALC_MODE:
            return "Set_ALC_MODE";
        case SettingMethod::Set_LPF:
            return "Set_LPF";
        case SettingMethod::Set_HPF_1:
            return "Set_HPF_1";
        case SettingMethod::Set_HPF_2:
            return "Set_HPF_2";
        case SettingMethod::Set_EQ_NOTCH:
            return "Set_EQ_NOTCH";
        case SettingMethod::Set_EQ_GAIN:
            return "Set_EQ_GAIN";
        case SettingMethod::Set_EQ_POWER:
            return "Set_EQ_POWER";
        case SettingMethod::Set_EQ_BAND_WIDTH:
            return "Set_EQ_BAND_WIDTH";
        case SettingMethod::SetBeam:
            return "SetBeam";
        case SettingMethod::SetDirectionVolume:
            return "SetDirectionVolume";
        case SettingMethod::SetZoom:
            return "SetZoom";
        case SettingMethod::Set_Ext_OutVolume:
            return "Set_Ext_OutVolume";
        case SettingMethod::Set_Ext_TPA:
            return "Set_Ext_TPA";
    }
    return "?";
}

int argumentCount(SettingMethod method) {
    switch (method) {
        case SettingMethod::SetVolumeNorm:
        case SettingMethod::SetVolumeMute:
            return 0;
        case SettingMethod::Set_EQ_GAIN:
            return 2;
        case SettingMethod::Set_EQ_BAND_WIDTH:
            return 3;
        default:
            return 1;
    }
}

}  // namespace

sdk::HRESULT invoke(sdk::IQMDevice& device, const SettingCall& call) {
    const Byte value = byteOf(call.first);
    switch (call.method) {
        case SettingMethod::SetVolume:
            return device.SetVolume(value);
        case SettingMethod::SetVolumeNorm:
            return device.SetVolumeNorm();
        case SettingMethod::SetVolumeMute:
            return device.SetVolumeMute();
        case SettingMethod::Set_ALC_REF_VALUE:
            return device.Set_ALC_REF_VALUE(value);
        case SettingMethod::Set_ALC_RECOVERY:
            return device.Set_ALC_RECOVERY(value);
        case SettingMethod::Set_ALC_MODE:
            return device.Set_ALC_MODE(value);
        case SettingMethod::Set_LPF:
            return device.Set_LPF(value);
        case SettingMethod::Set_HPF_1:
            return device.Set_HPF_1(value);
        case SettingMethod::Set_HPF_2:
            return device.Set_HPF_2(value);
        case SettingMethod::Set_EQ_NOTCH:
            return device.Set_EQ_NOTCH(value);
        case SettingMethod::Set_EQ_GAIN:
            return device.Set_EQ_GAIN(value, byteOf(call.second));
        case SettingMethod::Set_EQ_POWER:
            return device.Set_EQ_POWER(value);
        case SettingMethod::Set_EQ_BAND_WIDTH:
            return device.Set_EQ_BAND_WIDTH(value, call.second, call.third);
        case SettingMethod::SetBeam:
            return device.SetBeam(value);
        case SettingMethod::SetDirectionVolume:
            return device.SetDirectionVolume(value);
        case SettingMethod::SetZoom:
            return device.SetZoom(value);
        case SettingMethod::Set_Ext_OutVolume:
            return device.Set_Ext_OutVolume(value);
        case SettingMethod::Set_Ext_TPA:
            return device.Set_Ext_TPA(value);
    }
    return sdk::E_NOTIMPL;
}

std::string describe(const SettingCall& call) {
    std::string text = nameOf(call.method);
    text += '(';
    const int count = argumentCount(call.method);
    const int arguments[] = {call.first, call.second, call.third};
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            text += ", ";
        }
        text += std::to_string(arguments[i]);
    }
    text += ')';
    return text;
}

std::string settingKey(const SettingCall& call) {
    std::string key = nameOf(call.method);
    if (call.method == SettingMethod::Set_EQ_GAIN ||
        call.method == SettingMethod::Set_EQ_BAND_WIDTH) {
        key += ' ' + std::to_string(call.first);
    }
    return key;
}

}  // namespace qm::studio::panels
