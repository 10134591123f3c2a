#pragma once

// Default folders of the microphone system on this platform, shared by the service and the
// studio: used when the machine-wide settings name no folder of their own.
namespace qm::paths {

inline constexpr const char* kDefaultProfileFolder = "/var/lib/quillmere/profiles";
inline constexpr const char* kDefaultLogFolder = "/var/log/quillmere";

}  // namespace qm::paths
