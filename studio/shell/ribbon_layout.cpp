#include "studio/shell/ribbon_layout.h"

#include <QComboBox>
#include <QToolButton>

#include "studio/controls/ribbon_bar.h"
#include "studio/controls/ribbon_group.h"
#include "studio/shell/combo_entries.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_settings.h"

namespace qm::studio {
namespace {

using controls::Prompt;
using controls::RibbonGroup;
using Size = RibbonGroup::Size;

constexpr int kWaveScaleWidth = 120;
constexpr int kWindowFunctionWidth = 140;
constexpr int kSpectrumBoundWidth = 80;
constexpr int kOutputDeviceWidth = 350;

Prompt prompt(int id) {
    return controls::parsePrompt(loadString(id));
}

// A button whose caption and prompt are two strings.
void button(RibbonGroup* group, int id, int captionId, int promptId, Size size = Size::Large) {
    group->addButton(id, controls::captionOf(loadString(captionId)), prompt(promptId), size);
}

void fillCombo(QComboBox* combo, const std::vector<ComboEntry>& entries, std::uint32_t value) {
    for (const ComboEntry& entry : entries) {
        combo->addItem(entry.text, static_cast<int>(entry.data));
    }
    combo->setCurrentIndex(entryIndexFor(entries, value));
}

void buildMainTab(controls::RibbonBar& bar, QWidget* displayPlace) {
    controls::RibbonTab* tab = bar.addTab(3002, loadString(3002));

    RibbonGroup* display = tab->addGroup(ids::kGroupDisplay, loadString(3024));
    display->addCustomControl(ids::kDisplayControl, displayPlace, QSize(165, 65));

    RibbonGroup* device = tab->addGroup(ids::kGroupDevice, loadString(3025));
    button(device, ids::kReset, 3400, 3401);
    button(device, ids::kRefresh, 3402, 3403);
    button(device, ids::kRenameDevice, 3420, 3421);

    RibbonGroup* profile = tab->addGroup(ids::kGroupProfile, loadString(3404));
    button(profile, ids::kProfileSave, 3405, 3406);
    button(profile, ids::kProfileApply, 3407, 3408);
    button(profile, ids::kRenameProfile, 3422, 3423);

    RibbonGroup* output = tab->addGroup(ids::kGroupOutput, loadString(3022));
    output->addLabel(ids::kOutputLabel, loadString(3505));
    output->addComboBox(ids::kOutputDevice, kOutputDeviceWidth);
    output->addCheckBox(ids::kPreview, loadString(3504));
}

void buildWaveformTab(controls::RibbonBar& bar, const StudioSettings& settings) {
    controls::RibbonTab* tab = bar.addTab(3058, loadString(3058));

    RibbonGroup* waveform = tab->addGroup(ids::kGroupWaveform, loadString(3060));
    waveform->addLabel(ids::kWaveScaleLabel, loadString(3061));
    fillCombo(waveform->addComboBox(ids::kWaveScale, kWaveScaleWidth), waveScaleEntries(),
              settings.waveScale);

    RibbonGroup* scale = tab->addGroup(ids::kGroupScaleType, loadString(3026));
    button(scale, ids::kWaveLogarithmic, 3750, 3751);
    button(scale, ids::kWaveLinear, 3752, 3753);
}

void buildSpectrumTab(controls::RibbonBar& bar, const StudioSettings& settings) {
    // The spectrum tab shares its id with the waveform tab; only its caption differs.
    controls::RibbonTab* tab = bar.addTab(3058, loadString(3059));

    RibbonGroup* spectrum = tab->addGroup(ids::kGroupSpectrum, loadString(3062));
    spectrum->addLabel(ids::kWindowFunctionLabel, loadString(3063));
    fillCombo(spectrum->addComboBox(ids::kWindowFunction, kWindowFunctionWidth),
              windowFunctionEntries(), settings.windowFunc);
    spectrum->addLabel(ids::kSpectrumBoundLabel, loadString(3755));
    fillCombo(spectrum->addComboBox(ids::kSpectrumBound, kSpectrumBoundWidth),
              spectrumBoundEntries(), settings.spectrumBound);

    RibbonGroup* drawMode = tab->addGroup(ids::kGroupDrawMode, loadString(3064));
    button(drawMode, ids::kSpectrumLine, 3066, 3067);
    button(drawMode, ids::kSpectrumBar, 3068, 3069);

    RibbonGroup* markers = tab->addGroup(ids::kGroupDrawMarkers, loadString(3065));
    button(markers, ids::kMarkerLpf, 3070, 3071);
    button(markers, ids::kMarkerHpf1, 3072, 3073);
    button(markers, ids::kMarkerHpf2, 3074, 3075);
    button(markers, ids::kMarkerEq, 3076, 3077);

    RibbonGroup* view = tab->addGroup(ids::kGroupSpectrumView, loadString(3409));
    button(view, ids::kViewRealTime, 3410, 3411);
    button(view, ids::kViewMiddle, 3412, 3413);
    button(view, ids::kViewMin, 3414, 3415);
    button(view, ids::kViewMax, 3416, 3417);
}

void buildServiceTab(controls::RibbonBar& bar) {
    controls::RibbonTab* tab = bar.addTab(3003, loadString(3003));
    RibbonGroup* service = tab->addGroup(ids::kGroupService, loadString(3050));
    button(service, ids::kServiceStart, 3051, 3052);
    button(service, ids::kServiceStop, 3053, 3054);
    button(service, ids::kServiceRestart, 3055, 3056);
}

}  // namespace

void buildRibbon(controls::RibbonBar& bar, const StudioSettings& settings, QWidget* displayPlace) {
    bar.setSystemButton(ids::kSystemButton, prompt(145));
    buildMainTab(bar, displayPlace);
    buildWaveformTab(bar, settings);
    buildSpectrumTab(bar, settings);
    buildServiceTab(bar);
}

}  // namespace qm::studio
