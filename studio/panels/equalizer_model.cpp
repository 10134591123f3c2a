#include "studio/panels/equalizer_model.h"

#include <algorithm>

#include "common/settings/encodings.h"
#include "common/settings/models.h"
#include "studio/panels/bit_fields.h"

namespace qm::studio::panels {
namespace {

using settings::Setting;

constexpr int kReadMinimum = 5;  // lowest gain after a read; 0 after a user change

bool lockableModel(std::string_view productName) {
    switch (settings::modelFromProductName(productName)) {
        case settings::Model::Alder:
        case settings::Model::Birch:
        case settings::Model::Cp2114Bridge:
            return true;
        default:
            return false;
    }
}

int bandNumber(int band) {
    return band + 1;
}

}  // namespace

std::optional<BandShape> bandShapeOf(std::uint8_t modeByte) {
    const int widthCode = fieldOf(modeByte, 4, 4);
    const int frequencyCode = fieldOf(modeByte, 0, 4);
    if (widthCode < 1 || widthCode > 3 || frequencyCode < 1 ||
        frequencyCode > kCentreFrequencyCount) {
        return std::nullopt;
    }
    return BandShape{100 * widthCode, centreFrequencyAt(frequencyCode - 1)};
}

int gainMaximum(int widthHz) {
    switch (widthHz) {
        case 200:
            return 103;
        case 300:
            return 157;
        default:
            return 53;
    }
}

EqualizerModel::EqualizerModel() {
    for (int band = 0; band < kBandCount; ++band) {
        stripOf(band).frequency = defaultBandShape(band).frequencyHz;
    }
}

void EqualizerModel::clear() {
    gains_.fill(0);
    modes_.fill(0);
    notch_ = 0;
    power_ = 0;
}

void EqualizerModel::show(const settings::DeviceSettings& bytes, std::string_view productName) {
    notch_ = bytes[Setting::EQ_NOTCH];
    power_ = bytes[Setting::EQ_POWER];
    for (int band = 0; band < kBandCount; ++band) {
        gains_[static_cast<std::size_t>(band)] = bytes[settings::eqGain(bandNumber(band))];
        modes_[static_cast<std::size_t>(band)] = bytes[settings::eqMode(bandNumber(band))];
        Strip& strip = stripOf(band);
        strip.frequency = defaultBandShape(band).frequencyHz;
        strip.position = strip.sliderMinimum;
    }
    selected_ = 0;
    const bool lockable = lockableModel(productName);
    for (int band = 0; band < kBandCount; ++band) {
        setStrip(band, lockable && band == 0);
    }
}

void EqualizerModel::setStrip(int band, bool lockable) {
    Strip& strip = stripOf(band);
    strip.notchOn = bitOf(notch_, band);
    strip.bandOn = bitOf(power_, band);
    strip.controlsVisible = strip.bandOn;

    if (const auto shape = bandShapeOf(mode(band))) {
        strip.width = shape->widthHz;
        strip.frequency = shape->frequencyHz;
    }
    strip.sliderMinimum = kReadMinimum;
    strip.sliderMaximum = gainMaximum(strip.width);
    strip.position = std::clamp<int>(gain(band), strip.sliderMinimum, strip.sliderMaximum);

    strip.locked = lockable && strip.frequency == centreFrequencyAt(0);
    strip.listEnabled = !strip.locked;
    strip.bandSwitchVisible = !strip.locked;
    if (strip.locked) {
        strip.controlsVisible = false;
    }
}

void EqualizerModel::setGainZero(int band) {
    Strip& strip = stripOf(band);
    gains_[static_cast<std::size_t>(band)] = 0;
    strip.position = strip.sliderMinimum;
}

void EqualizerModel::setNotchBit(int band, bool on) {
    notch_ = withBit(notch_, band, on);
    stripOf(band).notchOn = on;
}

SettingCalls EqualizerModel::chooseWidth(int band, int widthHz) {
    Strip& strip = stripOf(band);
    strip.width = widthHz;
    setNotchBit(band, true);
    strip.sliderMinimum = 0;
    strip.sliderMaximum = gainMaximum(widthHz);
    setGainZero(band);
    modes_[static_cast<std::size_t>(band)] = settings::bandModeByte(strip.frequency, widthHz);
    return {{SettingMethod::Set_EQ_GAIN, bandNumber(band), 0},
            {SettingMethod::Set_EQ_BAND_WIDTH, bandNumber(band), strip.frequency, widthHz}};
}

SettingCalls EqualizerModel::chooseFrequency(int band, int listIndex) {
    stripOf(band).frequency =
        centreFrequencyAt(std::clamp(listIndex, 0, kCentreFrequencyCount - 1));
    return chooseWidth(band, strip(band).width);
}

SettingCalls EqualizerModel::toggleNotch(int band) {
    const bool on = !bitOf(notch_, band);
    setNotchBit(band, on);
    SettingCalls calls;
    if (on) {
        setGainZero(band);
        calls.push_back({SettingMethod::Set_EQ_GAIN, bandNumber(band), 0});
    }
    calls.push_back({SettingMethod::Set_EQ_NOTCH, notch_});
    return calls;
}

SettingCalls EqualizerModel::toggleBand(int band) {
    Strip& strip = stripOf(band);
    strip.bandOn = !bitOf(power_, band);
    power_ = withBit(power_, band, strip.bandOn);
    strip.controlsVisible = strip.bandOn;
    SettingCalls calls{{SettingMethod::Set_EQ_POWER, power_}};
    if (power_ != 0) {
        setGainZero(band);
        setNotchBit(band, true);
        calls.push_back({SettingMethod::Set_EQ_GAIN, bandNumber(band), 0});
        calls.push_back({SettingMethod::Set_EQ_NOTCH, notch_});
    }
    return calls;
}

SettingCalls EqualizerModel::moveGain(int band, int position) {
    Strip& strip = stripOf(band);
    strip.position = position;
    gains_[static_cast<std::size_t>(band)] = static_cast<std::uint8_t>(position);
    SettingCalls calls;
    if (bitOf(notch_, band)) {
        setNotchBit(band, false);
        calls.push_back({SettingMethod::Set_EQ_NOTCH, notch_});
    }
    calls.push_back({SettingMethod::Set_EQ_GAIN, bandNumber(band), position});
    return calls;
}

}  // namespace qm::studio::panels
