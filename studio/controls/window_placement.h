#pragma once

#include <string>

class QWidget;

namespace qm::studio::controls {

class RegistryManager;

// Position, size and maximised state of a top-level window, kept under "WindowPlacement" of the
// registry manager's root as one binary value per window name.
class WindowPlacement {
  public:
    static constexpr const char* kSection = "WindowPlacement";

    WindowPlacement(RegistryManager& registry, std::string windowName);

    bool save(const QWidget& window);
    // False when nothing usable is stored; the window keeps its place then.
    bool restore(QWidget& window) const;

  private:
    RegistryManager& registry_;
    std::string windowName_;
};

}  // namespace qm::studio::controls
