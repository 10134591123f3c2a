#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/settings/device_settings.h"

// The steps of applying a profile: one change call per setting, in a fixed order, each with the
// models it is made for and the four texts its log entries show.
namespace qm::profiles {

// Which profiles a step is made for, by the profile's "Name".
enum class StepModels {
    All,
    Direction,     // "Alder", "Birch", "CP2114 USB-Audio Bridge"
    OutputVolume,  // "Cedar", "Larch", "Rowan"
    InputGain,     // "Larch", "Rowan"
};

struct ApplyStep {
    int number;  // 1..24
    settings::Setting setting;
    StepModels models;
    std::string_view label;  // what the step sets, for texts of our own ("EQ band 2 gain")
    std::string_view start;
    std::string_view success;
    std::string_view error;
    std::string_view retry;  // with one "%d" for the attempt number
};

inline constexpr std::size_t kApplyStepCount = 24;

const std::array<ApplyStep, kApplyStepCount>& applySteps();

// Whether the step is made for a profile whose "Name" is `profileModel` (compared without
// regard to ASCII case).
bool stepApplies(const ApplyStep& step, std::string_view profileModel);

// The retry text with the attempt number in place of its "%d".
std::string retryText(const ApplyStep& step, int attempt);

}  // namespace qm::profiles
