#pragma once

#include <cstdint>

#include "common/settings/device_settings.h"
#include "studio/panels/setting_call.h"

namespace qm::studio::panels {

// The analog output volume: 24 = 0 dB, 0.5 dB a step, higher is quieter; slider position =
// 203 - code.
class OutputVolumeModel {
  public:
    static constexpr int kSliderMaximum = 203;
    static constexpr std::uint8_t kNormal = 24;
    static constexpr std::uint8_t kMute = 204;  // one step beyond the slider

    void show(const settings::DeviceSettings& bytes);

    SettingCall move(int position);
    SettingCall normal();
    SettingCall mute();

    std::uint8_t volume() const { return volume_; }
    int position() const { return position_; }

  private:
    std::uint8_t volume_ = 0;
    int position_ = 0;
};

// The input gain of the output loop amplifier: bit 5 loop power, bits 7-6 gain (20, 26, 32,
// 36 dB); bits 4-0 are sent back as read.
class InputGainModel {
  public:
    static constexpr int kGainCount = 4;

    void show(const settings::DeviceSettings& bytes) { tpa_ = bytes[settings::Setting::TPA]; }

    SettingCall togglePower();
    SettingCall chooseGain(int gain);

    std::uint8_t tpa() const { return tpa_; }
    bool powerOn() const;
    int gain() const;

  private:
    std::uint8_t tpa_ = 0;
};

}  // namespace qm::studio::panels
