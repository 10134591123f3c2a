#include "studio/shell/view_commands.h"

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/registry_manager.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/studio_hooks.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/studio_settings.h"

namespace qm::studio {
namespace {

struct Button {
    int id;
    enum class Kind { Set, Toggle, Flag } kind;
    std::uint32_t value;  // the value set, or the bit toggled or tested
};

// Wave mode and draw mode set their value and are checked while it holds; the markers toggle a
// bit and are checked while it is set; the spectrum views set their value and are checked while
// its bit is set.
constexpr Button kWaveModeButtons[] = {{ids::kWaveLogarithmic, Button::Kind::Set, 0},
                                       {ids::kWaveLinear, Button::Kind::Set, 1}};
constexpr Button kDrawModeButtons[] = {{ids::kSpectrumLine, Button::Kind::Set, 0},
                                       {ids::kSpectrumBar, Button::Kind::Set, 1}};
constexpr Button kMarkerButtons[] = {{ids::kMarkerLpf, Button::Kind::Toggle, 1},
                                     {ids::kMarkerHpf1, Button::Kind::Toggle, 2},
                                     {ids::kMarkerHpf2, Button::Kind::Toggle, 4},
                                     {ids::kMarkerEq, Button::Kind::Toggle, 8}};
constexpr Button kViewButtons[] = {{ids::kViewRealTime, Button::Kind::Flag, 1},
                                   {ids::kViewMiddle, Button::Kind::Flag, 2},
                                   {ids::kViewMin, Button::Kind::Flag, 4},
                                   {ids::kViewMax, Button::Kind::Flag, 8}};

struct ButtonFamily {
    const Button* buttons;
    std::size_t count;
    std::uint32_t StudioSettings::*value;
    const char* name;
};

const ButtonFamily kFamilies[] = {
    {kWaveModeButtons, std::size(kWaveModeButtons), &StudioSettings::waveMode, "WaveMode"},
    {kDrawModeButtons, std::size(kDrawModeButtons), &StudioSettings::spectrumMode, "SpectrumMode"},
    {kMarkerButtons, std::size(kMarkerButtons), &StudioSettings::spectrumLabel, "SpectrumLabel"},
    {kViewButtons, std::size(kViewButtons), &StudioSettings::spectrumView, "SpectrumView"},
};

std::pair<const ButtonFamily*, const Button*> findButton(int id) {
    for (const ButtonFamily& family : kFamilies) {
        for (std::size_t i = 0; i < family.count; ++i) {
            if (family.buttons[i].id == id) {
                return {&family, &family.buttons[i]};
            }
        }
    }
    return {nullptr, nullptr};
}

}  // namespace

ViewCommands::ViewCommands(StudioSettings& settings, controls::RegistryManager& registry,
                           MonitoringHooks* monitoring, AnalysisHooks* analysis)
    : settings_(settings), registry_(registry), monitoring_(monitoring), analysis_(analysis) {}

bool ViewCommands::handles(int id) const {
    return id == ids::kPreview || findButton(id).second != nullptr;
}

void ViewCommands::execute(int id) {
    if (id == ids::kPreview) {
        settings_.preview = settings_.preview != 0 ? 0 : 1;
        store("Preview", settings_.preview);
        return;
    }
    const auto [family, button] = findButton(id);
    if (button == nullptr) {
        return;
    }
    std::uint32_t& value = settings_.*(family->value);
    if (button->kind == Button::Kind::Toggle) {
        value ^= button->value;
    } else {
        value = button->value;
    }
    changed();
    store(family->name, value);
}

bool ViewCommands::updateUi(int id, controls::CommandUi& ui) const {
    if (id == ids::kPreview) {
        ui.enabled = true;
        ui.checked = settings_.preview != 0;
        return true;
    }
    const auto [family, button] = findButton(id);
    if (button == nullptr) {
        return false;
    }
    const std::uint32_t value = settings_.*(family->value);
    ui.enabled = true;
    ui.checked =
        button->kind == Button::Kind::Set ? value == button->value : (value & button->value) != 0;
    return true;
}

void ViewCommands::comboSelected(int id, std::uint32_t itemData) {
    switch (id) {
        case ids::kWaveScale:
            settings_.waveScale = itemData;
            changed();
            storeDirect("WaveScale", itemData);
            break;
        case ids::kWindowFunction:
            settings_.windowFunc = itemData;
            changed();
            storeDirect("WindowFunc", itemData);
            break;
        case ids::kSpectrumBound:
            settings_.spectrumBound = itemData;
            changed();
            storeDirect("SpectrumBound", itemData);
            if (monitoring_ != nullptr) {
                monitoring_->spectrumBoundChanged();
            }
            break;
        default:
            break;
    }
}

void ViewCommands::changed() {
    if (analysis_ != nullptr) {
        analysis_->viewSettingsChanged();
    }
}

void ViewCommands::store(const char* name, std::uint32_t value) {
    registry_.writeProfileInt(keys::kSettings, name, value);
}

void ViewCommands::storeDirect(const char* name, std::uint32_t value) {
    registry::Key key;
    if (registry_.store().openKey(registry::Hive::CurrentUser, keys::kSettingsPath,
                                  registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS) {
        return;
    }
    // Like the profile values, a view setting that cannot be stored is simply not remembered.
    static_cast<void>(registry::writeDword(key, name, value));
}

}  // namespace qm::studio
