#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/profiles/profile.h"

// Reading and writing profile files. A file is UTF-8 XML without a byte-order mark, indented
// with one tab per level:
//
//   <?xml version="1.0" encoding="utf-8"?>
//   <Profile ProfileID="..." ProfileName="..." ProfileDesc="...">
//   	<Device SN="..." Name="..." DirVolume="..." ... TPA="..." />
//   </Profile>
//
// with every attribute of the "Device" element written for every model, in the order of
// CProfile::values ("ALC_VOLUME" included), empty where there is no value. Files are replaced
// whole (a new file is written next to the old one and renamed over it), so a failed write
// never leaves half a profile behind.
namespace qm::profiles {

// Files larger than this are not profiles and are not read.
inline constexpr std::uintmax_t kMaxProfileFileBytes = 1 << 20;

// Reads one file into `record`. The file must parse and have a top-level "Profile" element;
// otherwise the load fails and `record` keeps its fields. The three profile attributes are
// taken next (missing ones are empty), then the first "Device" child: without one the load
// fails with those three set. With it, the path and every device attribute are taken by exact
// name (missing ones are empty). On failure `error` says why.
bool loadProfile(const std::filesystem::path& path, CProfile& record, std::string& error);

// Rewrites the file of `record` with its name and description: the file is read again, the
// existing "ProfileName" and "ProfileDesc" attributes of "Profile" get the record's texts
// (missing ones are not added) and the whole document, declaration included, is written back.
// Fails, writing nothing, when the file does not parse or has no "Profile" element.
bool saveNameAndDescription(const CProfile& record, std::string& error);

// Reads the profile file `source`, changes the attributes of its "Profile" element that `texts`
// gives, and writes the whole document, declaration included, to `target` (which may be
// `source`). "ProfileID" is added when the file has none; "ProfileName" and "ProfileDesc" are
// changed only where they exist. Fails, writing nothing, when `source` does not parse or has no
// "Profile" element.
struct ProfileTexts {
    std::optional<std::string> id;
    std::optional<std::string> name;
    std::optional<std::string> description;
};
bool rewriteProfileFile(const std::filesystem::path& source, const std::filesystem::path& target,
                        const ProfileTexts& texts, std::string& error);

// The text of a new profile file for `record`.
std::string profileDocument(const CProfile& record);

// Writes a new profile file for `record` at record.path (replacing a file of that name).
bool writeProfile(const CProfile& record, std::string& error);

}  // namespace qm::profiles
