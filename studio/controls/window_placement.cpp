#include "studio/controls/window_placement.h"

#include <QByteArray>
#include <QWidget>

#include "studio/controls/registry_manager.h"

namespace qm::studio::controls {

WindowPlacement::WindowPlacement(RegistryManager& registry, std::string windowName)
    : registry_(registry), windowName_(std::move(windowName)) {}

bool WindowPlacement::save(const QWidget& window) {
    const QByteArray geometry = window.saveGeometry();
    return registry_.writeProfileBinary(
        kSection, windowName_, std::vector<std::uint8_t>(geometry.begin(), geometry.end()));
}

bool WindowPlacement::restore(QWidget& window) const {
    const auto bytes = registry_.getProfileBinary(kSection, windowName_);
    if (!bytes || bytes->empty()) {
        return false;
    }
    return window.restoreGeometry(QByteArray(reinterpret_cast<const char*>(bytes->data()),
                                             static_cast<qsizetype>(bytes->size())));
}

}  // namespace qm::studio::controls
