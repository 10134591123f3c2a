#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/profiles/profile.h"
#include "common/settings/models.h"

// The profiles of a profile folder as a whole: every profile of every model, a profile by its
// identifier, and bringing in a profile file from elsewhere.
namespace qm::profiles {

// One listed file: its record, and why it could not be read when it could not (its fields are
// then empty but its path).
struct ListedProfile {
    settings::Model model = settings::Model::Unknown;  // the sub-folder it lies in
    CProfile profile;
    std::string error;
};

// Every profile file of the six sub-folders, model by model, each loaded.
std::vector<ListedProfile> listProfiles(const std::filesystem::path& profileFolder);

// The readable profile whose identifier equals `id` (ASCII case-insensitive); nothing when none.
std::optional<CProfile> findProfile(const std::filesystem::path& profileFolder,
                                    std::string_view id);

struct ImportResult {
    CProfile profile;    // as stored in the profile folder
    bool newId = false;  // its identifier clashed (or was unusable) and was replaced
    std::string previousId;
};

// Copies a profile file into its model's sub-folder. The file must load and name one of the
// six models. It keeps its identifier unless a profile of the folder already has it, or it
// can't be part of a file name; then it gets a new one, written into the copy. Nothing, with
// the reason in `error`, when the file can't be read or stored.
std::optional<ImportResult> importProfile(const std::filesystem::path& profileFolder,
                                          const std::filesystem::path& source, std::string& error);

}  // namespace qm::profiles
