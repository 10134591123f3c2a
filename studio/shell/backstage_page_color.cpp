#include "studio/shell/backstage_page_color.h"

#include <QPushButton>

#include "studio/controls/property_grid.h"
#include "studio/controls/registry_manager.h"
#include "studio/shell/backstage_page_parts.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"

namespace qm::studio {
namespace {

struct ColorItem {
    int category;  // string of the category the item opens, 0: same as before
    int id;
    int caption;
    const char* setting;
    std::uint32_t StudioSettings::*value;
};

constexpr ColorItem kItems[] = {
    {3720, 5050, 3721, "ColorPeakNorm", &StudioSettings::colorPeakNorm},
    {0, 5051, 3722, "ColorPeakMid", &StudioSettings::colorPeakMid},
    {0, 5052, 3723, "ColorPeakMax", &StudioSettings::colorPeakMax},
    {3724, 5058, 3725, "ColorWaveform", &StudioSettings::colorWaveform},
    {3726, 5084, 3727, "ColorSpectrum", &StudioSettings::colorSpectrum},
    {0, CBackstagePageColor::kFillItem, 3733, "SpectrumFill", &StudioSettings::spectrumFill},
    {0, 5086, 3729, "ColorSpectrumLPF", &StudioSettings::colorSpectrumLpf},
    {0, 5087, 3730, "ColorSpectrumHPF_1", &StudioSettings::colorSpectrumHpf1},
    {0, 5088, 3731, "ColorSpectrumHPF_2", &StudioSettings::colorSpectrumHpf2},
    {0, 5089, 3732, "ColorSpectrumEQ", &StudioSettings::colorSpectrumEq},
};

const ColorItem* itemOf(int id) {
    for (const ColorItem& item : kItems) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace

CBackstagePageColor::CBackstagePageColor(CTonecraftApp& app, QWidget* parent)
    : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("backstagePage175"));
    QVBoxLayout* column = backstageColumn(this, tr("Custom display color"));
    grid_ = new controls::PropertyGrid(this);
    grid_->setObjectName(QStringLiteral("control5049"));
    column->addWidget(grid_, 1);
    apply_ = new QPushButton(tr("Apply"), this);
    apply_->setObjectName(QStringLiteral("control5040"));
    apply_->setEnabled(false);
    column->addWidget(apply_, 0, Qt::AlignLeft);

    controls::PropertyGrid::setCustomColors(
        {0xDDE2E3, 0x5E5E5E, 0xDDE2E3, 0xFCFCFC, 0x323232, 0x5E5E5E});
    const StudioSettings& settings = app_.settings();
    for (const ColorItem& item : kItems) {
        if (item.category != 0) {
            grid_->addCategory(loadString(item.category));
        }
        if (item.id == kFillItem) {
            grid_->addNumberItem(item.id, loadString(item.caption),
                                 static_cast<int>(settings.*item.value), 0, 100);
        } else {
            grid_->addColorItem(item.id, loadString(item.caption), settings.*item.value);
        }
    }
    grid_->expandAll();
    connect(grid_, &controls::PropertyGrid::valueChanged, this, &CBackstagePageColor::changed);
    connect(apply_, &QPushButton::clicked, this, &CBackstagePageColor::apply);
}

void CBackstagePageColor::changed(int id) {
    const ColorItem* item = itemOf(id);
    if (item == nullptr) {
        return;
    }
    app_.settings().*item->value = id == kFillItem
                                       ? static_cast<std::uint32_t>(grid_->numberValue(id))
                                       : grid_->colorValue(id);
    if (!store(id)) {
        unstored_.insert(id);
    }
    apply_->setEnabled(true);
    if (AnalysisHooks* views = app_.environment().hooks.analysis) {
        views->viewSettingsChanged();
    }
}

bool CBackstagePageColor::store(int id) {
    const ColorItem* item = itemOf(id);
    if (item == nullptr) {
        return true;
    }
    const std::uint32_t value = app_.settings().*item->value;
    return id == kFillItem ? app_.registry().writeProfileInt(keys::kColors, item->setting, value)
                           : app_.registry().writeProfileColor(keys::kColors, item->setting, value);
}

void CBackstagePageColor::apply() {
    if (!apply_->isEnabled()) {
        return;
    }
    apply_->setEnabled(false);
    for (auto it = unstored_.begin(); it != unstored_.end();) {
        it = store(*it) ? unstored_.erase(it) : std::next(it);
    }
}

}  // namespace qm::studio
