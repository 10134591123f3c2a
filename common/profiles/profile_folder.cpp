#include "common/profiles/profile_folder.h"

#include <system_error>

#include "common/sdk/guid.h"
#include "common/settings/models.h"
#include "common/text/text.h"

namespace qm::profiles {

std::optional<std::filesystem::path> modelFolder(const std::filesystem::path& profileFolder,
                                                 std::string_view productName) {
    const settings::Model model = settings::modelFromProductName(productName);
    if (model == settings::Model::Unknown)
        return std::nullopt;
    return profileFolder / std::string(settings::productName(model));
}

bool ensureProfileFolders(const std::filesystem::path& profileFolder) {
    bool all = true;
    const auto ensure = [&all](const std::filesystem::path& path) {
        std::error_code error;
        std::filesystem::create_directories(path, error);
        if (!std::filesystem::is_directory(path, error))
            all = false;
    };
    ensure(profileFolder);
    for (const std::string_view product : settings::kProductNames)
        ensure(profileFolder / std::string(product));
    return all;
}

std::string newProfileId() {
    return text::asciiUpperCopy(sdk::Guid::random().toPlainString());
}

bool isSafeProfileId(std::string_view id) {
    if (id.empty() || id.size() > 64)
        return false;
    for (const char c : id) {
        const bool ok =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

std::optional<std::filesystem::path> profileFilePath(const std::filesystem::path& profileFolder,
                                                     std::string_view productName,
                                                     std::string_view id) {
    auto folder = modelFolder(profileFolder, productName);
    if (!folder || !isSafeProfileId(id))
        return std::nullopt;
    // A known product string is a plain name; only its case may differ from the folder's.
    return *folder / (std::string(productName) + "_" + std::string(id) + ".xml");
}

bool hasProfileExtension(const std::filesystem::path& path) {
    return text::asciiIEquals(path.extension().string(), ".xml");
}

}  // namespace qm::profiles
