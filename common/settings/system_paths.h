#pragma once

#include <string>

// The places on this system that both programs agree on: registry key paths (which keep their
// backslashes) and the default folders, which are Linux paths. Environment variables move the
// default folders for tests and demos.
namespace qm::settings {

// Machine-wide configuration and device cache (HKEY_LOCAL_MACHINE).
inline constexpr const char* kDevicesKey = "SOFTWARE\\QUILLMERE\\qmCore\\Devices";
// The studio's per-user settings root (HKEY_CURRENT_USER).
inline constexpr const char* kStudioKey = "Software\\QUILLMERE\\qmTonecraft";

// Default folder of every service log: $QM_LOG_DIR, else /var/log/quillmere (no trailing '/').
std::string defaultLogFolder();
// Default profile folder: $QM_PROFILE_DIR, else /var/lib/quillmere/profiles (no trailing '/').
std::string defaultProfileFolder();

}  // namespace qm::settings
