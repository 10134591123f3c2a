#include "tools/qmctl/setting_change.h"

#include "common/settings/setting_table.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/result_text.h"

namespace qm::qmctl {
namespace {

using settings::Setting;

// Band 1..5 of an equaliser gain or mode setting.
int bandOf(Setting setting, Setting firstOfBlock) {
    return static_cast<int>(settings::indexOf(setting) - settings::indexOf(firstOfBlock)) + 1;
}

bool isEqGain(Setting s) {
    return s >= Setting::EQ_1_GAIN && s <= Setting::EQ_5_GAIN;
}

bool isEqMode(Setting s) {
    return s >= Setting::EQ_1_BW_MODE && s <= Setting::EQ_5_BW_MODE;
}

}  // namespace

std::string ChangeCall::text() const {
    std::string out(operation);
    out += '(';
    if (band)
        out += std::to_string(*band) + ", ";
    out += std::to_string(value);
    out += ')';
    return out;
}

ChangeCall changeCallFor(Setting setting, std::uint8_t value) {
    ChangeCall call{settings::settingInfo(setting).changedBy, std::nullopt, value};
    if (isEqGain(setting))
        call.band = bandOf(setting, Setting::EQ_1_GAIN);
    else if (isEqMode(setting))
        call.band = bandOf(setting, Setting::EQ_1_BW_MODE);
    return call;
}

sdk::HRESULT sendChange(sdk::IQMDevice& device, Setting setting, std::uint8_t value) {
    if (isEqGain(setting))
        return device.Set_EQ_GAIN(static_cast<unsigned char>(bandOf(setting, Setting::EQ_1_GAIN)),
                                  value);
    if (isEqMode(setting))
        return device.Set_EQ_BAND_MODE(
            static_cast<unsigned char>(bandOf(setting, Setting::EQ_1_BW_MODE)), value);
    switch (setting) {
        case Setting::DirVolume:
            return device.SetDirectionVolume(value);
        case Setting::Zoom:
            return device.SetZoom(value);
        case Setting::Beam:
            return device.SetBeam(value);
        case Setting::LPF:
            return device.Set_LPF(value);
        case Setting::HPF_1:
            return device.Set_HPF_1(value);
        case Setting::HPF_2:
            return device.Set_HPF_2(value);
        case Setting::Volume:
            return device.SetVolume(value);
        case Setting::EQ_NOTCH:
            return device.Set_EQ_NOTCH(value);
        case Setting::EQ_POWER:
            return device.Set_EQ_POWER(value);
        case Setting::ALC_RECOVERY:
            return device.Set_ALC_RECOVERY(value);
        case Setting::ALC_MODE:
            return device.Set_ALC_MODE(value);
        case Setting::ALC_REF_VALUE:
            return device.Set_ALC_REF_VALUE(value);
        case Setting::OUT_VOLUME:
            return device.Set_Ext_OutVolume(value);
        case Setting::TPA:
            return device.Set_Ext_TPA(value);
        default:
            return sdk::E_INVALIDARG;  // ALC_VOLUME: read only
    }
}

ChangeOutcome changeLikeThePanels(sdk::IQMDevice& device, Setting setting, std::uint8_t value) {
    ChangeOutcome outcome;
    outcome.call = changeCallFor(setting, value);
    outcome.changeResult = sendChange(device, setting, value);
    // The panels go on whatever the change call returned; a call that never reached the
    // service (gone, no answer, object gone) makes the follow-up calls pointless.
    if (isTransportFailure(outcome.changeResult))
        return outcome;
    outcome.lastStatus = device.GetLastStatus();
    if (*outcome.lastStatus != sdk::S_OK && !isTransportFailure(*outcome.lastStatus))
        outcome.resetResult = device.ResetStatus();
    return outcome;
}

int exitCodeOf(const ChangeOutcome& outcome) {
    if (sdk::FAILED(outcome.changeResult))
        return exitCodeForFailure(outcome.changeResult);
    if (outcome.acknowledged())
        return kExitOk;
    if (outcome.lastStatus && isTransportFailure(*outcome.lastStatus))
        return exitCodeForFailure(*outcome.lastStatus);
    return kExitChangeRefused;
}

}  // namespace qm::qmctl
