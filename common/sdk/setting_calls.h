#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/sdk/interfaces.h"
#include "common/settings/device_settings.h"

// Which IQMDevice call changes each setting, with its band argument where it has one.
namespace qm::sdk {

// The change call of a setting: its name and arguments.
struct SettingCall {
    std::string_view operation;  // "Set_EQ_GAIN", "SetVolume", ...; empty for ALC_VOLUME
    std::optional<int> band;     // the band argument of Set_EQ_GAIN and Set_EQ_BAND_MODE
    std::uint8_t value = 0;

    // "Set_EQ_GAIN(3, 200)", "Set_LPF(5)".
    std::string text() const;
};

SettingCall settingCallFor(settings::Setting setting, std::uint8_t value);

// Makes the change call for `setting` on `device` and returns its result. ALC_VOLUME, which
// nothing changes, gives E_INVALIDARG without a call.
[[nodiscard]] HRESULT sendSettingChange(IQMDevice& device, settings::Setting setting,
                                        std::uint8_t value);

}  // namespace qm::sdk
