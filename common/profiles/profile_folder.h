#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Where profile files live: one sub-folder per product string under the profile folder, and in
// it one file per profile named "<Name>_<identifier>.xml".
namespace qm::profiles {

// The sub-folder of a product string, named by its canonical spelling ("alder" is kept in
// "Alder"); nothing for a product string that is not one of the six known ones.
std::optional<std::filesystem::path> modelFolder(const std::filesystem::path& profileFolder,
                                                 std::string_view productName);

// Makes sure the folder and its six sub-folders exist, creating missing parents. True when all
// of them exist afterwards.
bool ensureProfileFolders(const std::filesystem::path& profileFolder);

// A new profile identifier: a random GUID as 32 upper-case hexadecimal digits in groups
// 8-4-4-4-12, without braces.
std::string newProfileId();

// True for a text that can be a profile identifier in a file name: 1 to 64 characters, each a
// letter, a digit or '-'.
bool isSafeProfileId(std::string_view id);

// The file of a profile: <model folder>/<Name>_<identifier>.xml. Nothing for a product string
// outside the six, or an identifier that isSafeProfileId refuses.
std::optional<std::filesystem::path> profileFilePath(const std::filesystem::path& profileFolder,
                                                     std::string_view productName,
                                                     std::string_view id);

// True when the file name ends in ".xml", in any case.
bool hasProfileExtension(const std::filesystem::path& path);

}  // namespace qm::profiles
