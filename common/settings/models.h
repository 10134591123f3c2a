#pragma once

#include <array>
#include <string_view>

#include "common/settings/device_settings.h"

namespace qm::settings {

// A microphone model, decided by the bridge's product string (ASCII case-insensitive).
enum class Model { Alder, Birch, Cedar, Larch, Rowan, Cp2114Bridge, Unknown };

// The product strings of the known models, in list order; "CP2114 USB-Audio Bridge" is the
// chip maker's generic product string of a bridge that was never given a model name.
inline constexpr std::array<std::string_view, 6> kProductNames = {
    "Alder", "Birch", "Cedar", "Larch", "Rowan", "CP2114 USB-Audio Bridge"};

Model modelFromProductName(std::string_view productName);
// The canonical product string of a known model; empty for Model::Unknown.
std::string_view productName(Model model);

// Groups of settings whose presence depends on the model.
enum class SettingGroup {
    Direction,  // settings 1 to 3
    Common,     // settings 4 to 23: every model
    OutVolume,  // setting 24
    InputGain,  // setting 25
};

SettingGroup groupOf(Setting s);

// The three places where a setting may exist for a model.
enum class Place {
    DeviceRead,     // read from the microphone by the initial read
    DeviceXml,      // an attribute of the device description XML
    RegistryCache,  // loaded from and stored to the registry cache
};

bool hasGroup(Model model, SettingGroup group, Place place);
inline bool hasSetting(Model model, Setting s, Place place) {
    return hasGroup(model, groupOf(s), place);
}

}  // namespace qm::settings
