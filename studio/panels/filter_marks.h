#pragma once

#include <cstdint>
#include <vector>

#include "common/settings/device_settings.h"

namespace qm::studio::panels {

// One equaliser band that is switched on: where it sits and how it is set.
struct EqualizerMark {
    int band = 1;         // 1..5
    int frequencyHz = 0;  // centre frequency
    int widthHz = 0;      // 100, 200 or 300
    std::uint8_t gain = 0;
    bool notch = false;

    bool operator==(const EqualizerMark&) const = default;
};

// What the filters and the equaliser of the selected microphone are set to, as frequencies,
// for views that mark them (the spectrum). A cut-off of 0 means the filter is off or its panel
// isn't shown; `bands` holds the bands switched on, in band order.
struct FilterMarks {
    double lpfHz = 0;
    double hpf1Hz = 0;
    double hpf2Hz = 0;
    std::vector<EqualizerMark> bands;

    bool operator==(const FilterMarks&) const = default;
};

// The marks of the setting bytes that the panels show; `shownPanels` holds the tab bits of the
// panels shown (a hidden filters or equaliser panel gives no marks of its own).
FilterMarks filterMarksOf(const settings::DeviceSettings& bytes, std::uint32_t shownPanels);

}  // namespace qm::studio::panels
