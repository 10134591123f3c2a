#pragma once

#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/registry/store.h"

namespace qm::studio::testing {

using TempFolder = qm::testing::TempFolder;

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
