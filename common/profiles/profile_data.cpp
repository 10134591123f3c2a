#include "common/profiles/profile_data.h"

#include <algorithm>
#include <system_error>

#include "common/profiles/profile_folder.h"
#include "common/text/text.h"

namespace qm::profiles {
namespace {

const std::vector<std::string> kNoPaths;

std::vector<std::string> profileFilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::filesystem::directory_entry& entry = *it;
        std::error_code ignored;
        if (entry.is_symlink(ignored) || !entry.is_regular_file(ignored) ||
            !hasProfileExtension(entry.path()))
            continue;
        found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const int order = text::asciiICompare(a.filename().string(), b.filename().string());
        return order != 0 ? order < 0 : a.filename() < b.filename();
    });
    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (const auto& path : found)
        paths.push_back(path.string());
    return paths;
}

}  // namespace

void CProfileData::rescan(const std::filesystem::path& profileFolder) {
    for (std::size_t i = 0; i < lists_.size(); ++i)
        lists_[i] = profileFilesIn(profileFolder / std::string(settings::kProductNames[i]));
}

const std::vector<std::string>& CProfileData::paths(std::string_view productName) const {
    return paths(settings::modelFromProductName(productName));
}

const std::vector<std::string>& CProfileData::paths(settings::Model model) const {
    const auto i = static_cast<std::size_t>(model);
    return i < lists_.size() ? lists_[i] : kNoPaths;
}

bool CProfileData::add(std::string_view productName, const std::string& path) {
    const auto i = static_cast<std::size_t>(settings::modelFromProductName(productName));
    if (i >= lists_.size())
        return false;
    lists_[i].push_back(path);
    return true;
}

bool CProfileData::remove(const std::string& path) {
    for (auto& list : lists_) {
        const auto it = std::find(list.begin(), list.end(), path);
        if (it != list.end()) {
            list.erase(it);
            return true;
        }
    }
    return false;
}

bool deleteProfile(CProfileData& data, const std::string& path, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec))) {
        error = "the file " + path + " is not there any more";
        return false;
    }
    if (!std::filesystem::remove(path, ec)) {
        error = "the file " + path + " can't be deleted: " + ec.message();
        return false;
    }
    data.remove(path);
    return true;
}

}  // namespace qm::profiles
