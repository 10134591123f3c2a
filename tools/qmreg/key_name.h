#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/value.h"

// Full key names as people type them: a hive name, then the key path, e.g.
// "HKLM\SOFTWARE\QUILLMERE\qmCore\Devices".
namespace qm::qmreg {

struct KeyName {
    registry::Hive hive = registry::Hive::LocalMachine;
    std::string path;  // without the hive; empty parts dropped
};

// Accepts HKLM / HKEY_LOCAL_MACHINE, HKCU / HKEY_CURRENT_USER, HKCR / HKEY_CLASSES_ROOT and
// HKU / HKEY_USERS in any case. Nothing when the hive is unknown or the path is malformed.
std::optional<KeyName> parseKeyName(std::string_view text);

// "HKEY_LOCAL_MACHINE" and so on.
std::string hiveName(registry::Hive hive);

// "HKEY_LOCAL_MACHINE\SOFTWARE\..." for display.
std::string fullKeyName(const KeyName& key);

}  // namespace qm::qmreg
