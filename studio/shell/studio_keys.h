#pragma once

// Where the studio keeps its settings in the registry.
namespace qm::studio::keys {

// Per-user settings root (HKEY_CURRENT_USER) and its sections.
inline constexpr const char* kUserRoot = "Software\\QUILLMERE\\qmTonecraft";
inline constexpr const char* kSettingsPath = "Software\\QUILLMERE\\qmTonecraft\\Settings";
inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kColors = "Colors";
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kSplitter = "Splitter";
inline constexpr const char* kLayouts = "DockingPaneLayouts";
inline constexpr const char* kLayoutsPath = "Software\\QUILLMERE\\qmTonecraft\\DockingPaneLayouts";
inline constexpr const char* kNormalLayout = "NormalLayout";
inline constexpr const char* kUiLanguage = "UILanguage";
inline constexpr const char* kPaneVersion = "PaneVersion";
// The address of the version document; empty or missing: no version check.
inline constexpr const char* kVersionDocument = "VersionDocument";

// Machine-wide key shared with the service (HKEY_LOCAL_MACHINE).
inline constexpr const char* kDevicesPath = "SOFTWARE\\QUILLMERE\\qmCore\\Devices";
inline constexpr const char* kProfileFolder = "ProfileFolder";

}  // namespace qm::studio::keys
