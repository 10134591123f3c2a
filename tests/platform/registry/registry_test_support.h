#pragma once

#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry/store.h"

namespace qm::registry::testing {

using TempFolder = qm::testing::TempFolder;

// Collects diagnostic lines, from any thread.
class DiagnosticLog {
  public:
    DiagnosticSink sink() {
        return [this](std::string_view line) {
            std::lock_guard guard(mutex_);
            lines_.emplace_back(line);
        };
    }
    std::vector<std::string> lines() const {
        std::lock_guard guard(mutex_);
        return lines_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

inline std::vector<char> readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFileBytes(const std::filesystem::path& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A store over a temporary folder whose diagnostics are collected, for one test.
struct StoreFixture {
    static constexpr const char* kUser = "tester";

    TempFolder folder;
    DiagnosticLog diagnostics;
    std::unique_ptr<Store> store = makeStore();

    std::unique_ptr<Store> makeStore() {
        auto made = std::make_unique<Store>(StoreLocations::inFolder(folder.path(), kUser));
        made->setDiagnosticSink(diagnostics.sink());
        return made;
    }
};

}  // namespace qm::registry::testing
