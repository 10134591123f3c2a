#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/settings/device_settings.h"
#include "studio/panels/setting_call.h"

namespace qm::studio::panels {

inline constexpr int kBandCount = 5;
inline constexpr std::array<int, 3> kBandWidths = {100, 200, 300};
inline constexpr int kCentreFrequencyCount = 9;  // 500 to 2500 Hz in steps of 250

// The centre frequency of list item `index` (0..8): 500 + 250 x index Hz.
constexpr int centreFrequencyAt(int index) {
    return 500 + 250 * index;
}
// A band's width and centre frequency.
struct BandShape {
    int widthHz = 100;
    int frequencyHz = 500;
};
// The shape a band mode byte carries (width nibble 1..3, frequency nibble 1..9); none for any
// other byte.
std::optional<BandShape> bandShapeOf(std::uint8_t modeByte);
// The shape of band index `band` (0..4) before any mode byte is shown: 100 Hz wide at 500, 1000,
// 1500, 2000 or 2500 Hz.
constexpr BandShape defaultBandShape(int band) {
    return {100, centreFrequencyAt(2 * band)};
}

// The upper end of a band's gain range for its width: 53, 103 or 157.
int gainMaximum(int widthHz);

// The five-band equaliser's model: the twelve bytes (notch mask, five gains, power mask, five
// mode bytes) and what each band strip shows. Band index b is 0..4; the calls number bands
// b + 1. Every action returns its calls in the order they are to be sent.
class EqualizerModel {
  public:
    struct Strip {
        int frequency = 0;      // centre frequency, Hz
        int width = 100;        // 100, 200 or 300 Hz
        int sliderMinimum = 0;  // gain slider range
        int sliderMaximum = 53;
        int position = 0;      // gain slider position
        bool bandOn = false;   // band switch checked; drawn inactive when off
        bool notchOn = false;  // notch switch checked
        // Width buttons, notch switch and slider shown (the band is on and not locked).
        bool controlsVisible = false;
        bool bandSwitchVisible = true;
        bool listEnabled = true;
        // Band 1 of an Alder, Birch or bare bridge at 500 Hz: nothing on it can be changed.
        bool locked = false;
    };

    EqualizerModel();

    // The bytes cleared, as when the panel is hidden.
    void clear();
    // The strips reset (centre frequencies 500 .. 2500 Hz, sliders at their lowest, band 1
    // selected), then set from the bytes; `productName` decides the lock of band 1.
    void show(const settings::DeviceSettings& bytes, std::string_view productName);

    SettingCalls chooseWidth(int band, int widthHz);
    SettingCalls chooseFrequency(int band, int listIndex);
    SettingCalls toggleNotch(int band);
    SettingCalls toggleBand(int band);
    SettingCalls moveGain(int band, int position);
    void selectBand(int band) { selected_ = band; }

    const Strip& strip(int band) const { return strips_[static_cast<std::size_t>(band)]; }
    int selectedBand() const { return selected_; }
    std::uint8_t notch() const { return notch_; }
    std::uint8_t power() const { return power_; }
    std::uint8_t gain(int band) const { return gains_[static_cast<std::size_t>(band)]; }
    std::uint8_t mode(int band) const { return modes_[static_cast<std::size_t>(band)]; }

  private:
    Strip& stripOf(int band) { return strips_[static_cast<std::size_t>(band)]; }
    void setStrip(int band, bool lockable);
    void setGainZero(int band);
    void setNotchBit(int band, bool on);

    std::array<Strip, kBandCount> strips_{};
    std::array<std::uint8_t, kBandCount> gains_{};
    std::array<std::uint8_t, kBandCount> modes_{};
    std::uint8_t notch_ = 0;
    std::uint8_t power_ = 0;
    int selected_ = 0;
};

}  // namespace qm::studio::panels
