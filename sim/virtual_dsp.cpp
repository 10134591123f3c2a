#include "sim/virtual_dsp.h"

#include "common/settings/encodings.h"
#include "common/settings/frame_codes.h"

namespace qm::sim {

using settings::Setting;
using settings::SettingGroup;

using namespace settings;  // the frame codes

namespace {
constexpr std::uint8_t kAccepted = kReplyOk;
constexpr std::uint8_t kRejected = 0x01;
}  // namespace

VirtualDsp::VirtualDsp(settings::Model model) : model_(model), settings_(factoryDefaults(model)) {}

settings::DeviceSettings VirtualDsp::factoryDefaults(settings::Model model) {
    settings::DeviceSettings s;
    s[Setting::DirVolume] = 16;  // 0 dB
    s[Setting::Volume] = settings::kVolumeNormal;
    for (int band = 1; band <= 5; ++band) {
        s[settings::eqGain(band)] = 26;
        s[settings::eqMode(band)] = static_cast<std::uint8_t>(0x10 + 2 * band - 1);
    }
    s[Setting::ALC_RECOVERY] = 0x15;
    s[Setting::ALC_REF_VALUE] = settings::kVolumeNormal;
    s[Setting::ALC_VOLUME] = settings::kVolumeNormal;
    s[Setting::OUT_VOLUME] = 24;  // 0 dB
    // Blocks a model does not have read as 0.
    using settings::Place;
    for (std::size_t i = 0; i < settings::kSettingCount; ++i) {
        const Setting setting = settings::settingAt(i);
        if (!settings::hasSetting(model, setting, Place::DeviceRead))
            s[setting] = 0;
    }
    return s;
}

std::size_t VirtualDsp::frameLength(std::uint8_t command) {
    switch (command) {
        case CMD_RESET:
            return 4;
        case CMD_GET_HW_VERSION:
            return 1;
        case CMD_GET_DIRECTION:
        case CMD_SET_DIR_VOLUME:
        case CMD_SET_DIR_ZOOM:
        case CMD_SET_DIR_BEAM:
        case CMD_GET_STATUS:
        case CMD_SET_DSP_VOLUME:
        case CMD_SET_HPF_1:
        case CMD_SET_HPF_2:
        case CMD_SET_LPF:
        case CMD_GET_EXT_STATUS:
        case CMD_SET_EXT_OUT_VOLUME:
        case CMD_SET_EXT_TPA:
            return 2;
        case CMD_SET_ALC:
        case CMD_SET_EQ_GAIN:
        case CMD_SET_EQ_MODE:
            return 3;
        default:
            return 1;
    }
}

bool VirtualDsp::reads(SettingGroup group) const {
    return settings::hasGroup(model_, group, settings::Place::DeviceRead);
}

VirtualDsp::Response VirtualDsp::statusReply(std::uint8_t block) const {
    const auto& s = settings_;
    Response r;
    r.isStatusRequest = true;
    switch (block) {
        case kBlockDsp:
            r.reply = {kBlockDsp, s[Setting::Volume]};
            break;
        case kBlockAlc:
            r.reply = {kBlockAlc, s[Setting::ALC_RECOVERY], s[Setting::ALC_MODE],
                       s[Setting::ALC_REF_VALUE], s[Setting::ALC_VOLUME]};
            break;
        case kBlockHpfLpf:
            r.reply = {kBlockHpfLpf, s[Setting::HPF_1], s[Setting::HPF_2], s[Setting::LPF]};
            break;
        case kBlockEqNotchGain:
            r.reply = {kBlockEqNotchGain, s[Setting::EQ_NOTCH]};
            for (int b = 1; b <= 5; ++b)
                r.reply.push_back(s[settings::eqGain(b)]);
            break;
        case kBlockEqPowerBwMode:
            r.reply = {kBlockEqPowerBwMode, s[Setting::EQ_POWER]};
            for (int b = 1; b <= 5; ++b)
                r.reply.push_back(s[settings::eqMode(b)]);
            break;
        case kBlockExtOutVolume:
            if (reads(SettingGroup::OutVolume))
                r.reply = {kBlockExtOutVolume, s[Setting::OUT_VOLUME]};
            break;
        case kBlockExtTpa:
            if (reads(SettingGroup::InputGain))
                r.reply = {kBlockExtTpa, s[Setting::TPA]};
            break;
        default:
            break;  // unknown block: no answer
    }
    return r;
}

VirtualDsp::Response VirtualDsp::change(std::optional<Setting> target, std::uint8_t value,
                                        std::optional<std::uint8_t> rejectWith) {
    Response r;
    r.isChange = true;
    if (!target || !settings::hasSetting(model_, *target, settings::Place::DeviceRead)) {
        r.reply = {kRejected};
        return r;
    }
    if (rejectWith && *rejectWith != kAccepted) {
        r.reply = {*rejectWith};
        return r;
    }
    settings_[*target] = value;
    r.reply = {kAccepted};
    return r;
}

VirtualDsp::Response VirtualDsp::handle(const std::vector<std::uint8_t>& f,
                                        std::optional<std::uint8_t> rejectWith) {
    if (f.empty() || f.size() != frameLength(f[0])) {
        return {};
    }
    auto band = [&](std::uint8_t n, Setting mask, Setting (*of)(int)) -> std::optional<Setting> {
        if (n == kEqMask)
            return mask;
        if (settings::isBandNumber(n))
            return of(n);
        return std::nullopt;
    };
    switch (f[0]) {
        case CMD_RESET: {
            if (f[2] != kResetKey1 || f[3] != kResetKey2)
                return {};
            Response r;
            if (f[1] == kResetDefault) {
                settings_ = factoryDefaults(model_);
                ++resetCount_;
            }
            // Reset to defaults and reset of the status both drop pending answers; the
            // watchdog reset changes nothing visible. None of them answers.
            r.clearsChannel = f[1] == kResetDefault || f[1] == kResetStatus;
            return r;
        }
        case CMD_GET_HW_VERSION: {
            Response r;
            r.isStatusRequest = true;
            r.reply = {kReplyOk, version_.api, version_.firmware};
            return r;
        }
        case CMD_GET_DIRECTION: {
            Response r;
            r.isStatusRequest = true;
            if (reads(SettingGroup::Direction)) {
                r.reply = {CMD_GET_DIRECTION, settings_[Setting::DirVolume],
                           settings_[Setting::Zoom], settings_[Setting::Beam]};
            }
            return r;
        }
        case CMD_SET_DIR_VOLUME:
            return change(Setting::DirVolume, f[1], rejectWith);
        case CMD_SET_DIR_ZOOM:
            return change(Setting::Zoom, f[1], rejectWith);
        case CMD_SET_DIR_BEAM:
            return change(Setting::Beam, f[1], rejectWith);
        case CMD_GET_STATUS:
            return statusReply(f[1] <= kBlockEqPowerBwMode ? f[1] : 0xFF);
        case CMD_SET_DSP_VOLUME:
            return change(Setting::Volume, f[1], rejectWith);
        case CMD_SET_ALC: {
            static constexpr Setting kAlc[] = {Setting::ALC_RECOVERY, Setting::ALC_MODE,
                                               Setting::ALC_REF_VALUE};
            return change(f[1] < 3 ? std::optional(kAlc[f[1]]) : std::nullopt, f[2], rejectWith);
        }
        case CMD_SET_HPF_1:
            return change(Setting::HPF_1, f[1], rejectWith);
        case CMD_SET_HPF_2:
            return change(Setting::HPF_2, f[1], rejectWith);
        case CMD_SET_LPF:
            return change(Setting::LPF, f[1], rejectWith);
        case CMD_SET_EQ_GAIN:
            return change(band(f[1], Setting::EQ_NOTCH, settings::eqGain), f[2], rejectWith);
        case CMD_SET_EQ_MODE:
            return change(band(f[1], Setting::EQ_POWER, settings::eqMode), f[2], rejectWith);
        case CMD_GET_EXT_STATUS:
            return statusReply(f[1] == kBlockExtOutVolume || f[1] == kBlockExtTpa ? f[1] : 0xFF);
        case CMD_SET_EXT_OUT_VOLUME:
            return change(Setting::OUT_VOLUME, f[1], rejectWith);
        case CMD_SET_EXT_TPA:
            return change(Setting::TPA, f[1], rejectWith);
        default:
            return {};
    }
}

}  // namespace qm::sim
