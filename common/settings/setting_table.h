#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/settings/device_settings.h"

namespace qm::settings {

// The status replies of the microphone that carry settings. The block byte is byte 0 of the
// reply; GetDirection's reply is not checked, so it has none.
enum class StatusBlock : std::uint8_t {
    Direction,      // GetDirection
    Dsp,            // GetStatusDSP, block 00
    Alc,            // GetStatusALC, block 01
    HpfLpf,         // GetStatusHPF_LPF, block 02
    EqNotchGain,    // GetStatusEQ_NOTCH_GAIN, block 03
    EqPowerBwMode,  // GetStatusEQ_POWER_BW_MODE, block 04
    ExtOutVolume,   // Get_Ext_OutVolume, block 09
    ExtTpa,         // Get_Ext_TPA, block 0A
};

struct StatusBlockInfo {
    StatusBlock block;
    std::string_view operation;          // the IQMDevice method that reads it
    std::optional<std::uint8_t> number;  // the expected reply byte 0
    std::array<std::uint8_t, 2> frame;   // the two-byte request frame
};

const StatusBlockInfo& statusBlockInfo(StatusBlock block);

// Everything about one setting: its names in every place and where it comes from.
struct SettingInfo {
    Setting setting;
    std::string_view registryName;  // REG_DWORD value in the device's cache key
    std::string_view xmlAttribute;  // attribute of the device XML; empty: never in the XML
    StatusBlock block;              // status reply that carries it
    int replyByte;                  // offset in that reply (offset 0 is the block number)
    std::string_view changedBy;     // the IQMDevice operation that changes it; empty: read only
};

const std::array<SettingInfo, kSettingCount>& settingTable();
const SettingInfo& settingInfo(Setting s);

// Lookup by registry name, ASCII case-insensitive (as registry value names are).
std::optional<Setting> settingByRegistryName(std::string_view name);

}  // namespace qm::settings
