#include "studio/panels/filters_model.h"

namespace qm::studio::panels {
namespace {

constexpr std::array<const char*, 10> kLpfLabels = {"7000 Hz", "6500 Hz", "6000 Hz", "5500 Hz",
                                                    "5000 Hz", "4500 Hz", "4000 Hz", "3500 Hz",
                                                    "3000 Hz", "2500 Hz"};
constexpr std::array<const char*, 4> kHpf1Labels = {"3.7 Hz", "14.8 Hz", "118.11 Hz", "236.8 Hz"};
constexpr std::array<double, 4> kHpf1CutOffs = {3.7, 14.8, 118.11, 236.8};
constexpr std::array<const char*, 10> kHpf2Labels = {"50 Hz",  "100 Hz", "150 Hz", "200 Hz",
                                                     "250 Hz", "300 Hz", "350 Hz", "400 Hz",
                                                     "450 Hz", "500 Hz"};

SettingMethod methodOf(Filter filter) {
    switch (filter) {
        case Filter::Lpf:
            return SettingMethod::Set_LPF;
        case Filter::Hpf1:
            return SettingMethod::Set_HPF_1;
        case Filter::Hpf2:
            return SettingMethod::Set_HPF_2;
    }
    return SettingMethod::Set_LPF;
}

}  // namespace

int frequencyCount(Filter filter) {
    return filter == Filter::Hpf1 ? static_cast<int>(kHpf1Labels.size())
                                  : static_cast<int>(kLpfLabels.size());
}

const char* frequencyLabel(Filter filter, int code) {
    if (code < 1 || code > frequencyCount(filter)) {
        return "";
    }
    const auto index = static_cast<std::size_t>(code - 1);
    switch (filter) {
        case Filter::Lpf:
            return kLpfLabels[index];
        case Filter::Hpf1:
            return kHpf1Labels[index];
        case Filter::Hpf2:
            return kHpf2Labels[index];
    }
    return "";
}

double cutOffHz(Filter filter, int code) {
    if (code < 1 || code > frequencyCount(filter)) {
        return 0;
    }
    switch (filter) {
        case Filter::Lpf:
            return 7500 - 500 * code;
        case Filter::Hpf1:
            return kHpf1CutOffs[static_cast<std::size_t>(code - 1)];
        case Filter::Hpf2:
            return 50 * code;
    }
    return 0;
}

int masterId(Filter filter) {
    switch (filter) {
        case Filter::Lpf:
            return 6110;
        case Filter::Hpf1:
            return 6150;
        case Filter::Hpf2:
            return 6170;
    }
    return 0;
}

settings::Setting settingOf(Filter filter) {
    switch (filter) {
        case Filter::Lpf:
            return settings::Setting::LPF;
        case Filter::Hpf1:
            return settings::Setting::HPF_1;
        case Filter::Hpf2:
            return settings::Setting::HPF_2;
    }
    return settings::Setting::LPF;
}

void FiltersModel::show(const settings::DeviceSettings& bytes) {
    for (Filter filter : kFilters) {
        Row& row = rowOf(filter);
        row.code = bytes[settingOf(filter)];
        row.buttonsVisible = row.code > 0;
        row.checked = row.code <= frequencyCount(filter) ? row.code : 0;
        row.master = row.code > 0;
    }
}

SettingCall FiltersModel::toggleMaster(Filter filter) {
    Row& row = rowOf(filter);
    row.master = !row.master;
    row.code = row.master ? 1 : 0;
    row.checked = row.code;
    row.buttonsVisible = row.master;
    return {methodOf(filter), row.code};
}

SettingCall FiltersModel::choose(Filter filter, int code) {
    Row& row = rowOf(filter);
    row.code = static_cast<std::uint8_t>(code);
    row.checked = code;
    return {methodOf(filter), code};
}

}  // namespace qm::studio::panels
