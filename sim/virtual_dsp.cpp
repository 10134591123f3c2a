#include "sim/virtual_dsp.h"

#include "common/settings/encodings.h"

namespace qm::sim {

using settings::Setting;
using settings::SettingGroup;

namespace {
constexpr std::uint8_t kAccepted = 0x00;
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
        case 0x02:
            return 4;
        case 0x03:
            return 1;
        case 0x04:
        case 0x05:
        case 0x06:
        case 0x07:
        case 0x08:
        case 0x09:
        case 0x0B:
        case 0x0C:
        case 0x0D:
        case 0x10:
        case 0x15:
        case 0x16:
            return 2;
        case 0x0A:
        case 0x0E:
        case 0x0F:
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
        case 0x00:
            r.reply = {0x00, s[Setting::Volume]};
            break;
        case 0x01:
            r.reply = {0x01, s[Setting::ALC_RECOVERY], s[Setting::ALC_MODE],
                       s[Setting::ALC_REF_VALUE], s[Setting::ALC_VOLUME]};
            break;
        case 0x02:
            r.reply = {0x02, s[Setting::HPF_1], s[Setting::HPF_2], s[Setting::LPF]};
            break;
        case 0x03:
            r.reply = {0x03, s[Setting::EQ_NOTCH]};
            for (int b = 1; b <= 5; ++b)
                r.reply.push_back(s[settings::eqGain(b)]);
            break;
        case 0x04:
            r.reply = {0x04, s[Setting::EQ_POWER]};
            for (int b = 1; b <= 5; ++b)
                r.reply.push_back(s[settings::eqMode(b)]);
            break;
        case 0x09:
            if (reads(SettingGroup::OutVolume))
                r.reply = {0x09, s[Setting::OUT_VOLUME]};
            break;
        case 0x0A:
            if (reads(SettingGroup::InputGain))
                r.reply = {0x0A, s[Setting::TPA]};
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
        if (n == 0)
            return mask;
        if (settings::isBandNumber(n))
            return of(n);
        return std::nullopt;
    };
    switch (f[0]) {
        case 0x02: {
            if (f[2] != 0xAA || f[3] != 0x55)
                return {};
            Response r;
            if (f[1] == 0x00) {
                settings_ = factoryDefaults(model_);
                ++resetCount_;
            }
            // Reset to defaults and reset of the status both drop pending answers; the
            // watchdog reset changes nothing visible. None of them answers.
            r.clearsChannel = f[1] == 0x00 || f[1] == 0x01;
            return r;
        }
        case 0x03: {
            Response r;
            r.isStatusRequest = true;
            r.reply = {0x00, version_.api, version_.firmware};
            return r;
        }
        case 0x04: {
            Response r;
            r.isStatusRequest = true;
            if (reads(SettingGroup::Direction)) {
                r.reply = {0x04, settings_[Setting::DirVolume], settings_[Setting::Zoom],
                           settings_[Setting::Beam]};
            }
            return r;
        }
        case 0x05:
            return change(Setting::DirVolume, f[1], rejectWith);
        case 0x06:
            return change(Setting::Zoom, f[1], rejectWith);
        case 0x07:
            return change(Setting::Beam, f[1], rejectWith);
        case 0x08:
            return statusReply(f[1] <= 0x04 ? f[1] : 0xFF);
        case 0x09:
            return change(Setting::Volume, f[1], rejectWith);
        case 0x0A: {
            static constexpr Setting kAlc[] = {Setting::ALC_RECOVERY, Setting::ALC_MODE,
                                               Setting::ALC_REF_VALUE};
            return change(f[1] < 3 ? std::optional(kAlc[f[1]]) : std::nullopt, f[2], rejectWith);
        }
        case 0x0B:
            return change(Setting::HPF_1, f[1], rejectWith);
        case 0x0C:
            return change(Setting::HPF_2, f[1], rejectWith);
        case 0x0D:
            return change(Setting::LPF, f[1], rejectWith);
        case 0x0E:
            return change(band(f[1], Setting::EQ_NOTCH, settings::eqGain), f[2], rejectWith);
        case 0x0F:
            return change(band(f[1], Setting::EQ_POWER, settings::eqMode), f[2], rejectWith);
        case 0x10:
            return statusReply(f[1] == 0x09 || f[1] == 0x0A ? f[1] : 0xFF);
        case 0x15:
            return change(Setting::OUT_VOLUME, f[1], rejectWith);
        case 0x16:
            return change(Setting::TPA, f[1], rejectWith);
        default:
            return {};
    }
}

}  // namespace qm::sim
