#include "common/settings/setting_table.h"

#include "common/settings/frame_codes.h"
#include "common/text/text.h"

namespace qm::settings {
namespace {

using S = Setting;
using B = StatusBlock;

constexpr std::array<StatusBlockInfo, 8> kBlocks{{
    {B::Direction, "GetDirection", std::nullopt, {CMD_GET_DIRECTION, 0x00}},
    {B::Dsp, "GetStatusDSP", kBlockDsp, {CMD_GET_STATUS, kBlockDsp}},
    {B::Alc, "GetStatusALC", kBlockAlc, {CMD_GET_STATUS, kBlockAlc}},
    {B::HpfLpf, "GetStatusHPF_LPF", kBlockHpfLpf, {CMD_GET_STATUS, kBlockHpfLpf}},
    {B::EqNotchGain,
     "GetStatusEQ_NOTCH_GAIN",
     kBlockEqNotchGain,
     {CMD_GET_STATUS, kBlockEqNotchGain}},
    {B::EqPowerBwMode,
     "GetStatusEQ_POWER_BW_MODE",
     kBlockEqPowerBwMode,
     {CMD_GET_STATUS, kBlockEqPowerBwMode}},
    {B::ExtOutVolume,
     "Get_Ext_OutVolume",
     kBlockExtOutVolume,
     {CMD_GET_EXT_STATUS, kBlockExtOutVolume}},
    {B::ExtTpa, "Get_Ext_TPA", kBlockExtTpa, {CMD_GET_EXT_STATUS, kBlockExtTpa}},
}};

constexpr std::array<SettingInfo, kSettingCount> kTable{{
    {S::DirVolume, "DirVolume", "DirVolume", B::Direction, 1, "SetDirectionVolume"},
    {S::Zoom, "Zoom", "DirZoom", B::Direction, 2, "SetZoom"},
    {S::Beam, "Beam", "DirBeam", B::Direction, 3, "SetBeam"},
    {S::LPF, "LPF", "LPF", B::HpfLpf, 3, "Set_LPF"},
    {S::HPF_1, "HPF_1", "HPF_1", B::HpfLpf, 1, "Set_HPF_1"},
    {S::HPF_2, "HPF_2", "HPF_2", B::HpfLpf, 2, "Set_HPF_2"},
    {S::Volume, "Volume", "DspVolume", B::Dsp, 1, "SetVolume"},
    {S::EQ_NOTCH, "EQ_NOTCH", "EQ_NOTCH", B::EqNotchGain, 1, "Set_EQ_NOTCH"},
    {S::EQ_1_GAIN, "EQ_1_GAIN", "EQ_1_GAIN", B::EqNotchGain, 2, "Set_EQ_GAIN"},
    {S::EQ_2_GAIN, "EQ_2_GAIN", "EQ_2_GAIN", B::EqNotchGain, 3, "Set_EQ_GAIN"},
    {S::EQ_3_GAIN, "EQ_3_GAIN", "EQ_3_GAIN", B::EqNotchGain, 4, "Set_EQ_GAIN"},
    {S::EQ_4_GAIN, "EQ_4_GAIN", "EQ_4_GAIN", B::EqNotchGain, 5, "Set_EQ_GAIN"},
    {S::EQ_5_GAIN, "EQ_5_GAIN", "EQ_5_GAIN", B::EqNotchGain, 6, "Set_EQ_GAIN"},
    {S::EQ_POWER, "EQ_POWER", "EQ_POWER", B::EqPowerBwMode, 1, "Set_EQ_POWER"},
    {S::EQ_1_BW_MODE, "EQ_1_BW_MODE", "EQ_1_BW_MODE", B::EqPowerBwMode, 2, "Set_EQ_BAND_MODE"},
    {S::EQ_2_BW_MODE, "EQ_2_BW_MODE", "EQ_2_BW_MODE", B::EqPowerBwMode, 3, "Set_EQ_BAND_MODE"},
    {S::EQ_3_BW_MODE, "EQ_3_BW_MODE", "EQ_3_BW_MODE", B::EqPowerBwMode, 4, "Set_EQ_BAND_MODE"},
    {S::EQ_4_BW_MODE, "EQ_4_BW_MODE", "EQ_4_BW_MODE", B::EqPowerBwMode, 5, "Set_EQ_BAND_MODE"},
    {S::EQ_5_BW_MODE, "EQ_5_BW_MODE", "EQ_5_BW_MODE", B::EqPowerBwMode, 6, "Set_EQ_BAND_MODE"},
    {S::ALC_RECOVERY, "ALC_RECOVERY", "ALC_RECOVERY", B::Alc, 1, "Set_ALC_RECOVERY"},
    {S::ALC_MODE, "ALC_MODE", "ALC_MODE", B::Alc, 2, "Set_ALC_MODE"},
    {S::ALC_REF_VALUE, "ALC_REF_VALUE", "ALC_REF_VALUE", B::Alc, 3, "Set_ALC_REF_VALUE"},
    {S::ALC_VOLUME, "ALC_VOLUME", "", B::Alc, 4, ""},
    {S::OUT_VOLUME, "OUT_VOLUME", "OUT_VOLUME", B::ExtOutVolume, 1, "Set_Ext_OutVolume"},
    {S::TPA, "TPA", "TPA", B::ExtTpa, 1, "Set_Ext_TPA"},
}};

constexpr bool tableIsInSettingOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (indexOf(kTable[i].setting) != i)
            return false;
    }
    for (std::size_t i = 0; i < kBlocks.size(); ++i) {
        if (static_cast<std::size_t>(kBlocks[i].block) != i)
            return false;
    }
    return true;
}
static_assert(tableIsInSettingOrder(), "tables must be indexed by their enum");

}  // namespace

const StatusBlockInfo& statusBlockInfo(StatusBlock block) {
    return kBlocks[static_cast<std::size_t>(block)];
}

const std::array<SettingInfo, kSettingCount>& settingTable() {
    return kTable;
}

const SettingInfo& settingInfo(Setting s) {
    return kTable[indexOf(s)];
}

std::optional<Setting> settingByRegistryName(std::string_view name) {
    for (const SettingInfo& info : kTable) {
        if (text::asciiIEquals(info.registryName, name))
            return info.setting;
    }
    return std::nullopt;
}

}  // namespace qm::settings
