#include "studio/panels/output_models.h"

#include <algorithm>

#include "studio/panels/bit_fields.h"

namespace qm::studio::panels {
namespace {

constexpr int kPowerBit = 5;
constexpr int kGainShift = 6;

}  // namespace

void OutputVolumeModel::show(const settings::DeviceSettings& bytes) {
    volume_ = bytes[settings::Setting::OUT_VOLUME];
    position_ = std::clamp(kSliderMaximum - volume_, 0, kSliderMaximum);
}

SettingCall OutputVolumeModel::move(int position) {
    position_ = position;
    volume_ = static_cast<std::uint8_t>(kSliderMaximum - position);
    return {SettingMethod::Set_Ext_OutVolume, volume_};
}

SettingCall OutputVolumeModel::normal() {
    volume_ = kNormal;
    position_ = kSliderMaximum - kNormal;
    return {SettingMethod::Set_Ext_OutVolume, volume_};
}

SettingCall OutputVolumeModel::mute() {
    volume_ = kMute;
    position_ = 1;
    return {SettingMethod::Set_Ext_OutVolume, volume_};
}

bool InputGainModel::powerOn() const {
    return bitOf(tpa_, kPowerBit);
}

int InputGainModel::gain() const {
    return fieldOf(tpa_, kGainShift, 2);
}

SettingCall InputGainModel::togglePower() {
    tpa_ = withBit(tpa_, kPowerBit, !powerOn());
    return {SettingMethod::Set_Ext_TPA, tpa_};
}

SettingCall InputGainModel::chooseGain(int gain) {
    tpa_ = withField(tpa_, kGainShift, 2, gain);
    return {SettingMethod::Set_Ext_TPA, tpa_};
}

}  // namespace qm::studio::panels
