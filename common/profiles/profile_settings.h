#pragma once

#include <optional>
#include <string>

#include "platform/registry/store.h"

// The machine-wide settings of profiles, in the devices key of the settings store: where
// profile files live, and which profile the service applies to a microphone each time it
// starts. (The one part of the profile code that reads the store; the rest takes the folder.)
namespace qm::profiles {

// In the devices key: the profile folder (REG_SZ or REG_EXPAND_SZ, used as stored).
inline constexpr const char* kProfileFolderValue = "ProfileFolder";
// In a microphone's key: the identifier of its automatic profile (REG_SZ).
inline constexpr const char* kAutoProfileValue = "AutoProfile";

// The profile folder: the ProfileFolder value when it is a valid string, else the default
// folder (settings::defaultProfileFolder).
std::string readProfileFolder(const registry::Key& devicesKey);
// The same from the store, read only; the default also when the key can't be opened.
std::string readProfileFolder(registry::Store& store);

// A microphone's automatic profile: its AutoProfile value when that is a valid string that can
// be a profile identifier; nothing otherwise.
std::optional<std::string> readAutoProfile(const registry::Key& deviceKey);

}  // namespace qm::profiles
