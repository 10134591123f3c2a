#pragma once

#include <filesystem>
#include <string>

#include "platform/registry/store.h"

namespace qm::studio {

// The machine-wide profile folder: the ProfileFolder value of the devices key (REG_SZ or
// REG_EXPAND_SZ, used unchanged), or the default folder when the value is missing or not a
// valid string.
std::string readProfileFolder(const registry::Key& devicesKey);

// The same from the store, read only: the default also when the key can't be opened.
std::string readProfileFolder(registry::Store& store);

// Makes sure the folder and one subfolder per product name exist, creating missing parents.
// True when all of them exist afterwards; a folder that can't be made is left alone.
bool ensureProfileFolders(const std::filesystem::path& folder);

}  // namespace qm::studio
