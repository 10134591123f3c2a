#include "studio/panels/alc_model.h"

#include <algorithm>

#include "common/settings/encodings.h"
#include "studio/panels/bit_fields.h"

namespace qm::studio::panels {
namespace {

using settings::Setting;

int sliderPosition(int code) {
    return std::clamp(code, AlcModel::kSliderMinimum, AlcModel::kSliderMaximum);
}

// Bit positions and widths of the fields.
constexpr int kRecoveryOnBit = 4;
constexpr int kWaitingShift = 2;
constexpr int kSpeedShift = 0;
constexpr int kLevelBit = 6;
constexpr int kAlcOnBit = 5;
constexpr int kGainShift = 2;
constexpr int kRangeShift = 0;

}  // namespace

void AlcModel::show(const settings::DeviceSettings& bytes) {
    volume_ = bytes[Setting::Volume];
    reference_ = bytes[Setting::ALC_REF_VALUE];
    alcVolume_ = bytes[Setting::ALC_VOLUME];
    recovery_ = bytes[Setting::ALC_RECOVERY];
    mode_ = bytes[Setting::ALC_MODE];
    volumePosition_ = sliderPosition(volume_);
    referencePosition_ = sliderPosition(reference_);
}

AlcModel::Fields AlcModel::fields() const {
    Fields f;
    f.recoveryOn = bitOf(recovery_, kRecoveryOnBit);
    f.waiting = fieldOf(recovery_, kWaitingShift, 2);
    f.speed = fieldOf(recovery_, kSpeedShift, 2);
    f.alcOn = bitOf(mode_, kAlcOnBit);
    f.gain = fieldOf(mode_, kGainShift, 3);
    f.level = fieldOf(mode_, kLevelBit, 1);
    f.range = fieldOf(mode_, kRangeShift, 2);
    return f;
}

bool AlcModel::alcOn() const {
    return bitOf(mode_, kAlcOnBit);
}

SettingCall AlcModel::moveVolume(int position) {
    volume_ = static_cast<std::uint8_t>(position);
    volumePosition_ = position;
    return {SettingMethod::SetVolume, position};
}

SettingCall AlcModel::volumeNormal() {
    volume_ = settings::kVolumeNormal;
    volumePosition_ = sliderPosition(volume_);
    return {SettingMethod::SetVolumeNorm};
}

SettingCall AlcModel::volumeMute() {
    volume_ = settings::kVolumeMute;
    volumePosition_ = kSliderMinimum;
    return {SettingMethod::SetVolumeMute};
}

SettingCall AlcModel::moveReference(int position) {
    reference_ = static_cast<std::uint8_t>(position);
    referencePosition_ = position;
    return {SettingMethod::Set_ALC_REF_VALUE, position};
}

SettingCall AlcModel::referenceNormal() {
    reference_ = settings::kVolumeNormal;
    referencePosition_ = sliderPosition(reference_);
    return {SettingMethod::Set_ALC_REF_VALUE, reference_};
}

SettingCall AlcModel::referenceMute() {
    reference_ = settings::kVolumeMute;
    referencePosition_ = kSliderMinimum;
    return {SettingMethod::Set_ALC_REF_VALUE, reference_};
}

SettingCall AlcModel::setRecovery(std::uint8_t byte) {
    recovery_ = byte;
    return {SettingMethod::Set_ALC_RECOVERY, recovery_};
}

SettingCall AlcModel::setMode(std::uint8_t byte) {
    mode_ = byte;
    return {SettingMethod::Set_ALC_MODE, mode_};
}

SettingCall AlcModel::toggleRecovery() {
    return setRecovery(withBit(recovery_, kRecoveryOnBit, !bitOf(recovery_, kRecoveryOnBit)));
}

SettingCall AlcModel::chooseWaiting(int waiting) {
    return setRecovery(withField(recovery_, kWaitingShift, 2, waiting));
}

SettingCall AlcModel::chooseSpeed(int speed) {
    return setRecovery(withField(recovery_, kSpeedShift, 2, speed));
}

SettingCall AlcModel::toggleAlc() {
    return setMode(withBit(mode_, kAlcOnBit, !alcOn()));
}

SettingCall AlcModel::chooseGain(int gain) {
    return setMode(withField(mode_, kGainShift, 3, gain));
}

SettingCall AlcModel::chooseLevel(int level) {
    return chooseRange(level, 0);
}

SettingCall AlcModel::chooseRange(int level, int range) {
    return setMode(withField(withBit(mode_, kLevelBit, level != 0), kRangeShift, 2, range));
}

}  // namespace qm::studio::panels
