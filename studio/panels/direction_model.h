#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/settings/device_settings.h"
#include "studio/panels/setting_call.h"

namespace qm::studio::panels {

inline constexpr int kBeamPatternCount = 7;
// The list's item texts, item i carrying code i.
inline constexpr std::array<const char*, kBeamPatternCount> kBeamPatternNames = {
    "All direction",        "Left cardioida",   "Right cardioida",  "Left hypercardioida",
    "Right hypercardioida", "Left bidirection", "Right bidirection"};

// The direction panel's model: beam pattern, direction volume (16 = 0 dB, 1 dB a step, higher
// is quieter; slider position = 41 - code) and zoom (slider position = code).
class DirectionModel {
  public:
    static constexpr int kVolumeSliderMaximum = 41;
    static constexpr int kZoomSliderMaximum = 255;
    static constexpr std::uint8_t kVolumeNormal = 16;

    void show(const settings::DeviceSettings& bytes);

    SettingCall chooseBeam(int code);
    SettingCall moveVolume(int position);
    SettingCall volumeNormal();
    SettingCall moveZoom(int position);

    std::uint8_t beam() const { return beam_; }
    std::uint8_t volume() const { return volume_; }
    std::uint8_t zoom() const { return zoom_; }
    int volumePosition() const;
    // The list item selected: the one carrying the beam code; a code no item carries leaves
    // the earlier selection (none at first).
    std::optional<int> listSelection() const { return listSelection_; }

  private:
    std::uint8_t beam_ = 0;
    std::uint8_t volume_ = 0;
    std::uint8_t zoom_ = 0;
    std::optional<int> listSelection_;
};

}  // namespace qm::studio::panels
