#include "common/profiles/profile_library.h"

#include <system_error>

#include "common/profiles/profile_data.h"
#include "common/profiles/profile_file.h"
#include "common/profiles/profile_folder.h"
#include "common/text/text.h"

namespace qm::profiles {

std::vector<ListedProfile> listProfiles(const std::filesystem::path& profileFolder) {
    CProfileData data;
    data.rescan(profileFolder);
    std::vector<ListedProfile> listed;
    for (const std::string_view product : settings::kProductNames) {
        for (const std::string& path : data.paths(product)) {
            ListedProfile entry;
            entry.model = settings::modelFromProductName(product);
            if (!loadProfile(path, entry.profile, entry.error))
                entry.profile.path = path;
            listed.push_back(std::move(entry));
        }
    }
    return listed;
}

std::optional<CProfile> findProfile(const std::filesystem::path& profileFolder,
                                    std::string_view id) {
    for (ListedProfile& entry : listProfiles(profileFolder)) {
        if (entry.error.empty() && !entry.profile.id.empty() &&
            text::asciiIEquals(entry.profile.id, id))
            return std::move(entry.profile);
    }
    return std::nullopt;
}

std::optional<ImportResult> importProfile(const std::filesystem::path& profileFolder,
                                          const std::filesystem::path& source, std::string& error) {
    ImportResult result;
    std::string loadError;
    if (!loadProfile(source, result.profile, loadError)) {
        error = source.string() + " " + loadError;
        return std::nullopt;
    }
    CProfile& profile = result.profile;
    if (!modelFolder(profileFolder, profile.model)) {
        error = source.string() + " is a profile of an unknown model";
        return std::nullopt;
    }
    std::optional<std::filesystem::path> target;
    if (isSafeProfileId(profile.id) && !findProfile(profileFolder, profile.id)) {
        target = profileFilePath(profileFolder, profile.model, profile.id);
        std::error_code ec;
        if (std::filesystem::exists(*target, ec) || ec)
            target.reset();  // a file of that name that holds another profile
    }
    if (!target) {
        result.newId = true;
        result.previousId = profile.id;
        profile.id = newProfileId();
        target = profileFilePath(profileFolder, profile.model, profile.id);
    }

    // The file is stored as it came, with only its identifier changed where needed.
    std::error_code ignored;
    std::filesystem::create_directories(target->parent_path(), ignored);
    profile.path = target->string();
    std::string fileError;
    if (!rewriteProfileFile(source, *target, {profile.id, std::nullopt, std::nullopt}, fileError)) {
        error = profile.path + " " + fileError;
        return std::nullopt;
    }
    return result;
}

}  // namespace qm::profiles
