#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/registry/store.h"

namespace qm::studio::testing {

// A folder under the system's temporary folder, removed with its contents at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qmstudio-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A registry store of its own, in a temporary folder, for one test. Diagnostics are dropped.
struct TempRegistry {
    static constexpr const char* kUser = "tester";

    TempFolder folder;
    std::unique_ptr<registry::Store> store = make();

    std::unique_ptr<registry::Store> make() {
        auto made = std::make_unique<registry::Store>(
            registry::StoreLocations::inFolder(folder.path() / "registry", kUser));
        made->setDiagnosticSink([](std::string_view) {});
        return made;
    }
};

}  // namespace qm::studio::testing
