#include "studio/shell/layout_version.h"

#include <string>
#include <vector>

#include "platform/registry/status.h"
#include "studio/controls/registry_manager.h"
#include "studio/shell/studio_keys.h"

namespace qm::studio {
namespace {

// Deletes the layouts under every user hive below HKEY_USERS; the listing stops at its first
// failure, and a hive whose layouts can't be deleted (no rights) is passed over.
void deleteLayoutsOfAllUsers(registry::Store& store) {
    registry::Key users;
    if (store.openKey(registry::Hive::Users, "", registry::Access::Read, users) !=
        registry::ERROR_SUCCESS) {
        return;
    }
    std::vector<std::string> names;
    if (users.enumSubkeys(names) != registry::ERROR_SUCCESS) {
        return;
    }
    for (const std::string& user : names) {
        // A user without stored layouts has nothing to forget.
        static_cast<void>(
            store.deleteTree(registry::Hive::Users, user + "\\" + keys::kLayoutsPath));
    }
}

}  // namespace

void applyLayoutVersion(controls::RegistryManager& registry) {
    const std::uint32_t stored =
        registry.getProfileInt(keys::kSettings, keys::kPaneVersion).value_or(1);
    if (stored != kPaneVersion) {
        static_cast<void>(
            registry.store().deleteTree(registry::Hive::CurrentUser, keys::kLayoutsPath));
        deleteLayoutsOfAllUsers(registry.store());
    }
    registry.writeProfileInt(keys::kSettings, keys::kPaneVersion, kPaneVersion);
}

}  // namespace qm::studio
