#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The layout of a hive file and the safe creation of a new one.
//
//   keys(id, parent_id, name, name_fold)          one row per key; the root has id 1 and no
//                                                 parent; (parent_id, name_fold) is unique
//   key_values(key_id, name, name_fold, type, data)  one row per value; (key_id, name_fold)
//                                                 is unique; rowid order is creation order
//
// `name` keeps the spelling a key or value was created with; `name_fold` is its comparison form
// (see key_path.h). Key ids are never reused, so a handle to a deleted key can't reach a new
// key that happens to get its id.
namespace qm::registry::detail {

// "QMRG": marks a SQLite file as one of our hives.
inline constexpr std::int32_t kHiveApplicationId = 0x514D5247;
inline constexpr int kHiveFormatVersion = 1;

// Creates a complete, empty hive at `path` (with missing parent folders) unless a file is
// already there: the hive is built under a temporary name and then hard-linked into place, which
// fails harmlessly when another process got there first. Returns ERROR_SUCCESS when a hive file
// exists at `path` afterwards; otherwise a status and, in `problem`, what went wrong.
// The file's read permissions follow its folder's; its group may write it when the folder's group
// may write the folder.
[[nodiscard]] long createHiveFile(const std::filesystem::path& path, std::string& problem);

}  // namespace qm::registry::detail
