#include "studio/panels/direction_model.h"

#include <algorithm>

namespace qm::studio::panels {
using settings::Setting;

void DirectionModel::show(const settings::DeviceSettings& bytes) {
    beam_ = bytes[Setting::Beam];
    volume_ = bytes[Setting::DirVolume];
    zoom_ = bytes[Setting::Zoom];
    if (beam_ < kBeamPatternCount) {
        listSelection_ = beam_;
    }
}

int DirectionModel::volumePosition() const {
    return std::clamp(kVolumeSliderMaximum - volume_, 0, kVolumeSliderMaximum);
}

SettingCall DirectionModel::chooseBeam(int code) {
    beam_ = static_cast<std::uint8_t>(code);
    listSelection_ = code;
    return {SettingMethod::SetBeam, code};
}

SettingCall DirectionModel::moveVolume(int position) {
    volume_ = static_cast<std::uint8_t>(kVolumeSliderMaximum - position);
    return {SettingMethod::SetDirectionVolume, volume_};
}

SettingCall DirectionModel::volumeNormal() {
    volume_ = kVolumeNormal;
    return {SettingMethod::SetDirectionVolume, volume_};
}

SettingCall DirectionModel::moveZoom(int position) {
    zoom_ = static_cast<std::uint8_t>(position);
    return {SettingMethod::SetZoom, position};
}

}  // namespace qm::studio::panels
