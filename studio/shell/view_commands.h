#pragma once

#include <cstdint>

#include "studio/controls/command_ui.h"

namespace qm::studio::controls {
class RegistryManager;
}

namespace qm::studio {

struct StudioSettings;
class AnalysisHooks;
class MonitoringHooks;

// The view-setting commands of the ribbon. Each sets its value in the shared settings, tells the
// analysis and the views, and stores it at once: the buttons through the
// registry manager under Settings, the three drop-down lists directly as REG_DWORD values of
// the Settings key, which is opened, never created, for this (when it can't be opened the new
// value holds until the studio ends).
class ViewCommands {
  public:
    ViewCommands(StudioSettings& settings, controls::RegistryManager& registry,
                 MonitoringHooks* monitoring, AnalysisHooks* analysis = nullptr);

    // True for the buttons handled here: wave mode (6370, 6371), draw mode (5076, 5077),
    // markers (5078 to 5081), spectrum view (6271 to 6274) and the preview check box (6000).
    bool handles(int id) const;
    void execute(int id);
    // The check mark of a button from its value.
    bool updateUi(int id, controls::CommandUi& ui) const;

    // A new entry of a drop-down list: wave scale (5073), window function (5070) or spectrum
    // bound (6376), with the entry's item data.
    void comboSelected(int id, std::uint32_t itemData);

  private:
    void store(const char* name, std::uint32_t value);
    void storeDirect(const char* name, std::uint32_t value);
    void changed();

    StudioSettings& settings_;
    controls::RegistryManager& registry_;
    MonitoringHooks* monitoring_;
    AnalysisHooks* analysis_;
};

}  // namespace qm::studio
