#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/profiles/profile.h"
#include "common/sdk/interfaces.h"

namespace qm::profiles {

// What saving says when the microphone's description can't be had.
inline constexpr const char* kDeviceNotReady = "Device isn't ready!";

// A record of the settings in a device description (IQMDevice::GetDeviceXML): "SN", "Name" and
// every profile attribute copied as text from the top-level "Device" element, missing ones
// empty. Nothing, with the reason in `error`, when the text does not parse or has no "Device".
std::optional<CProfile> profileFromDescription(std::string_view xml, std::string& error);

// Saves the microphone's current settings as a new profile with a new identifier, in its
// model's sub-folder (made when missing). Returns the record with its path; nothing with the
// reason in `error`: kDeviceNotReady when the description can't be had, or a sentence on the
// description, the model or the file.
std::optional<CProfile> createFromDevice(sdk::IQMDevice& device,
                                         const std::filesystem::path& profileFolder,
                                         std::string_view name, std::string_view description,
                                         std::string& error);
// The same from a description already read.
std::optional<CProfile> createFromDescription(std::string_view xml,
                                              const std::filesystem::path& profileFolder,
                                              std::string_view name, std::string_view description,
                                              std::string& error);

}  // namespace qm::profiles
