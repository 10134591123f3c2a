#pragma once

#include <array>
#include <cstdint>

#include "common/settings/device_settings.h"
#include "studio/panels/setting_call.h"

namespace qm::studio::panels {

// The low-pass filter and the two high-pass filters. Each has a master switch and a row of
// frequency buttons; its byte is 0 for off and 1 to N for a frequency.
enum class Filter : std::uint8_t { Lpf, Hpf1, Hpf2 };

inline constexpr std::array<Filter, 3> kFilters = {Filter::Lpf, Filter::Hpf1, Filter::Hpf2};

// The number of frequency buttons (codes 1 to N).
int frequencyCount(Filter filter);
// The button label of code 1..N: "7000 Hz", "118.11 Hz", "50 Hz".
const char* frequencyLabel(Filter filter, int code);
// The cut-off frequency of code 1..N in Hz (7500 - 500 x code, the HPF 1 table, 50 x code); 0
// for off or a code beyond the table.
double cutOffHz(Filter filter, int code);
// The id of the master switch; button k has the id + k.
int masterId(Filter filter);
settings::Setting settingOf(Filter filter);

// The filters panel's model: the three bytes and what each row shows.
class FiltersModel {
  public:
    struct Row {
        std::uint8_t code = 0;
        bool master = false;          // the master switch is checked (on)
        bool buttonsVisible = false;  // the frequency buttons and their labels
        int checked = 0;              // the checked button's code; 0 for none
    };

    // Every row from its byte: buttons shown for a code above 0, the button of a code in the
    // table checked (none above it), the master on for a code above 0.
    void show(const settings::DeviceSettings& bytes);

    // Off while on: code 0, buttons hidden. On while off: code 1, its button checked, buttons
    // shown (always the first code, not the one chosen before).
    SettingCall toggleMaster(Filter filter);
    // Button `code` (1..N) checked, the others unchecked.
    SettingCall choose(Filter filter, int code);

    const Row& row(Filter filter) const { return rows_[static_cast<std::size_t>(filter)]; }

  private:
    Row& rowOf(Filter filter) { return rows_[static_cast<std::size_t>(filter)]; }

    std::array<Row, 3> rows_{};
};

}  // namespace qm::studio::panels
