#pragma once

class QWidget;

namespace qm::studio::controls {
class RibbonBar;
}

namespace qm::studio {

struct StudioSettings;

// Fills the ribbon with its tabs "Main", "Waveform", "Specrum" and "Service", their groups and
// controls with their ids, captions and prompts, the three view drop-down lists with their
// entries selected from the settings, and the system button of the backstage.
// `displayPlace` is the 165 x 65 custom control of the "Display" group.
void buildRibbon(controls::RibbonBar& bar, const StudioSettings& settings, QWidget* displayPlace);

}  // namespace qm::studio
