#pragma once

#include <cstdint>

namespace qm::studio::controls {
class RegistryManager;
}

namespace qm::studio {

// The version of the docking layout this studio stores.
inline constexpr std::uint32_t kPaneVersion = 3;

// When the stored PaneVersion (default 1) isn't this studio's, deletes the stored docking
// layouts of the current user and of every user hive the registry lists, so that no stale
// layout is restored; then stores PaneVersion = 3.
void applyLayoutVersion(controls::RegistryManager& registry);

}  // namespace qm::studio
