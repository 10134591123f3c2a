#include "studio/panels/filter_marks.h"

#include "common/settings/encodings.h"
#include "studio/panels/bit_fields.h"
#include "studio/panels/equalizer_model.h"
#include "studio/panels/filters_model.h"
#include "studio/panels/panel_tabs.h"

namespace qm::studio::panels {

FilterMarks filterMarksOf(const settings::DeviceSettings& bytes, std::uint32_t shownPanels) {
    FilterMarks marks;
    if (hasTab(shownPanels, PanelTab::Filters)) {
        marks.lpfHz = cutOffHz(Filter::Lpf, bytes[settingOf(Filter::Lpf)]);
        marks.hpf1Hz = cutOffHz(Filter::Hpf1, bytes[settingOf(Filter::Hpf1)]);
        marks.hpf2Hz = cutOffHz(Filter::Hpf2, bytes[settingOf(Filter::Hpf2)]);
    }
    if (hasTab(shownPanels, PanelTab::Equalizer)) {
        const std::uint8_t power = bytes[settings::Setting::EQ_POWER];
        const std::uint8_t notch = bytes[settings::Setting::EQ_NOTCH];
        for (int band = 0; band < kBandCount; ++band) {
            if (!bitOf(power, band)) {
                continue;
            }
            const int number = band + settings::kFirstBand;
            const BandShape shape =
                bandShapeOf(bytes[settings::eqMode(number)]).value_or(defaultBandShape(band));
            marks.bands.push_back({number, shape.frequencyHz, shape.widthHz,
                                   bytes[settings::eqGain(number)], bitOf(notch, band)});
        }
    }
    return marks;
}

}  // namespace qm::studio::panels
