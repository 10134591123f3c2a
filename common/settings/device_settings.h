#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qm::settings {

// The 25 one-byte settings of a microphone's DSP, in table order. This order is also the order
// in which the registry cache is written and the device XML attributes appear.
enum class Setting : std::uint8_t {
    DirVolume,
    Zoom,
    Beam,
    LPF,
    HPF_1,
    HPF_2,
    Volume,
    EQ_NOTCH,
    EQ_1_GAIN,
    EQ_2_GAIN,
    EQ_3_GAIN,
    EQ_4_GAIN,
    EQ_5_GAIN,
    EQ_POWER,
    EQ_1_BW_MODE,
    EQ_2_BW_MODE,
    EQ_3_BW_MODE,
    EQ_4_BW_MODE,
    EQ_5_BW_MODE,
    ALC_RECOVERY,
    ALC_MODE,
    ALC_REF_VALUE,
    ALC_VOLUME,
    OUT_VOLUME,
    TPA,
};

inline constexpr std::size_t kSettingCount = 25;

constexpr std::size_t indexOf(Setting s) {
    return static_cast<std::size_t>(s);
}
constexpr Setting settingAt(std::size_t index) {
    return static_cast<Setting>(index);
}

// Gain and mode of equaliser band 1..5.
constexpr Setting eqGain(int band) {
    return settingAt(indexOf(Setting::EQ_1_GAIN) + static_cast<std::size_t>(band - 1));
}
constexpr Setting eqMode(int band) {
    return settingAt(indexOf(Setting::EQ_1_BW_MODE) + static_cast<std::size_t>(band - 1));
}

// The settings record of one microphone: 25 unsigned bytes, opaque to the service.
struct DeviceSettings {
    std::array<std::uint8_t, kSettingCount> bytes{};

    std::uint8_t& operator[](Setting s) { return bytes[indexOf(s)]; }
    std::uint8_t operator[](Setting s) const { return bytes[indexOf(s)]; }

    friend bool operator==(const DeviceSettings&, const DeviceSettings&) = default;
};

}  // namespace qm::settings
