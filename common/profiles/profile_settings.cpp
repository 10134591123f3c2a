#include "common/profiles/profile_settings.h"

#include "common/profiles/profile_folder.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::profiles {

std::string readProfileFolder(const registry::Key& devicesKey) {
    return registry::readString(devicesKey, kProfileFolderValue)
        .value_or(settings::defaultProfileFolder());
}

std::string readProfileFolder(registry::Store& store) {
    registry::Key key;
    if (store.openKey(registry::Hive::LocalMachine, settings::kDevicesKey, registry::Access::Read,
                      key) != registry::ERROR_SUCCESS) {
        return settings::defaultProfileFolder();
    }
    return readProfileFolder(key);
}

std::optional<std::string> readAutoProfile(const registry::Key& deviceKey) {
    auto id = registry::readString(deviceKey, kAutoProfileValue);
    if (!id || !isSafeProfileId(*id))
        return std::nullopt;
    return id;
}

}  // namespace qm::profiles
