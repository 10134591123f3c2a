#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/sdk/interfaces.h"

namespace qm::studio::panels {

// The setting calls of IQMDevice that the panels make.
enum class SettingMethod : std::uint8_t {
    SetVolume,
    SetVolumeNorm,
    SetVolumeMute,
    Set_ALC_REF_VALUE,
    Set_ALC_RECOVERY,
    Set_ALC_MODE,
    Set_LPF,
    Set_HPF_1,
    Set_HPF_2,
    Set_EQ_NOTCH,
    Set_EQ_GAIN,
    Set_EQ_POWER,
    Set_EQ_BAND_WIDTH,
    SetBeam,
    SetDirectionVolume,
    SetZoom,
    Set_Ext_OutVolume,
    Set_Ext_TPA,
};

// One setting call with its arguments, as data: a panel's action yields a list of them, which
// the panel host sends in order, each followed by the microphone's status check.
struct SettingCall {
    SettingMethod method;
    // The byte of single-argument calls; the band of Set_EQ_GAIN and Set_EQ_BAND_WIDTH.
    int first = 0;
    // The gain of Set_EQ_GAIN; the centre frequency of Set_EQ_BAND_WIDTH.
    int second = 0;
    // The width of Set_EQ_BAND_WIDTH.
    int third = 0;

    friend bool operator==(const SettingCall&, const SettingCall&) = default;
};

using SettingCalls = std::vector<SettingCall>;

// Makes the call on the microphone and returns its result.
sdk::HRESULT invoke(sdk::IQMDevice& device, const SettingCall& call);

// "Set_EQ_GAIN(3, 0)", "SetVolumeMute()": for logs and test messages.
std::string describe(const SettingCall& call);

// The calls that change the same setting share a key ("Set_EQ_GAIN 3"), so that positions of a
// dragged slider waiting to be sent can be replaced by the newest.
std::string settingKey(const SettingCall& call);

}  // namespace qm::studio::panels
