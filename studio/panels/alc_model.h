#pragma once

#include <cstdint>

#include "common/settings/device_settings.h"
#include "studio/panels/setting_call.h"

namespace qm::studio::panels {

// The volume and ALC panel's model: the DSP volume, the ALC reference level, the ALC's current
// volume (read only) and the recovery and mode bytes, with the fields the panel edits:
//   ALC_RECOVERY: bit 4 recovery on, bits 3-2 waiting, bits 1-0 speed (bits 7-5 kept);
//   ALC_MODE: bit 6 limiter level 2, bit 5 ALC on, bits 4-2 recovery gain, bits 1-0 limiter
//   range within the level (bit 7 kept).
class AlcModel {
  public:
    static constexpr int kSliderMinimum = 5;
    static constexpr int kSliderMaximum = 241;

    struct Fields {
        bool recoveryOn = false;
        int waiting = 0;  // 0..3
        int speed = 0;    // 0..3
        bool alcOn = false;
        int gain = 0;   // 0..7
        int level = 0;  // 0 = level 1, 1 = level 2
        int range = 0;  // 0..3, within the level
    };

    void show(const settings::DeviceSettings& bytes);

    SettingCall moveVolume(int position);
    SettingCall volumeNormal();
    SettingCall volumeMute();
    SettingCall moveReference(int position);
    SettingCall referenceNormal();
    SettingCall referenceMute();
    SettingCall toggleRecovery();
    SettingCall chooseWaiting(int waiting);
    SettingCall chooseSpeed(int speed);
    SettingCall toggleAlc();
    SettingCall chooseGain(int gain);
    // Level 1 (0) or 2 (1), its first range.
    SettingCall chooseLevel(int level);
    // A range button of `level`: that level and the range.
    SettingCall chooseRange(int level, int range);
    // The current volume as a later status read gave it.
    void setCurrentVolume(std::uint8_t volume) { alcVolume_ = volume; }

    Fields fields() const;
    std::uint8_t volume() const { return volume_; }
    std::uint8_t reference() const { return reference_; }
    std::uint8_t currentVolume() const { return alcVolume_; }
    std::uint8_t recovery() const { return recovery_; }
    std::uint8_t mode() const { return mode_; }
    int volumePosition() const { return volumePosition_; }
    int referencePosition() const { return referencePosition_; }
    bool alcOn() const;

  private:
    SettingCall setRecovery(std::uint8_t byte);
    SettingCall setMode(std::uint8_t byte);

    std::uint8_t volume_ = 0;
    std::uint8_t reference_ = 0;
    std::uint8_t alcVolume_ = 0;
    std::uint8_t recovery_ = 0;
    std::uint8_t mode_ = 0;
    int volumePosition_ = kSliderMinimum;
    int referencePosition_ = kSliderMinimum;
};

}  // namespace qm::studio::panels
