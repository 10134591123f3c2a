#include "studio/shell/profile_folders.h"

#include <system_error>

#include "common/settings/models.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "common/settings/system_paths.h"
#include "studio/shell/studio_keys.h"

namespace qm::studio {

std::string readProfileFolder(const registry::Key& devicesKey) {
    return registry::readString(devicesKey, keys::kProfileFolder)
        .value_or(settings::defaultProfileFolder());
}

std::string readProfileFolder(registry::Store& store) {
    registry::Key key;
    if (store.openKey(registry::Hive::LocalMachine, keys::kDevicesPath, registry::Access::Read,
                      key) != registry::ERROR_SUCCESS) {
        return settings::defaultProfileFolder();
    }
    return readProfileFolder(key);
}

bool ensureProfileFolders(const std::filesystem::path& folder) {
    bool all = true;
    const auto ensure = [&all](const std::filesystem::path& path) {
        std::error_code error;
        std::filesystem::create_directories(path, error);
        if (!std::filesystem::is_directory(path, error)) {
            all = false;
        }
    };
    ensure(folder);
    for (const std::string_view product : settings::kProductNames) {
        ensure(folder / std::string(product));
    }
    return all;
}

}  // namespace qm::studio
