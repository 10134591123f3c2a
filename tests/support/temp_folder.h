#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace qm::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// (also when a test took its permissions away).
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qm-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    // The folder as text with a trailing '/', followed by `sub` when given.
    std::string text(const std::string& sub = "") const { return path_.string() + "/" + sub; }

  private:
    std::filesystem::path path_;
};

}  // namespace qm::testing
