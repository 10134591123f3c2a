#include "studio/panels/ctrl_tab_lpf.h"

#include "studio/controls/image_button.h"

namespace qm::studio::panels {
namespace {

struct RowText {
    const char* caption;
    const char* shortName;
    const char* masterTip;
};

RowText rowText(Filter filter) {
    switch (filter) {
        case Filter::Lpf:
            return {"Low Pass Filter", "LPF", "Low Pass Filter\nLPF"};
        case Filter::Hpf1:
            return {"High Pass Filter 1", "HPF 1", "High Pass Filter 1\nHPF 1"};
        case Filter::Hpf2:
            return {"High Pass Filter 2", "HPF 2", "High Pass Filter 2\nHPF 2"};
    }
    return {"", "", ""};
}

constexpr int kLeft = 15;
constexpr int kTop = 18;
constexpr int kRowHeight = 50;
constexpr int kMasterX = 160;
constexpr int kButtonsX = 210;
constexpr int kButtonWidth = 66;

}  // namespace

CCtrlTabLPF::CCtrlTabLPF(PanelLink& link, QWidget* parent)
    : CCtrlTab(link, PanelTab::Filters, parent) {
    int y = kTop;
    for (Filter filter : kFilters) {
        const RowText text = rowText(filter);
        Row& row = rowOf(filter);
        caption(text.caption, kLeft, y, kMasterX - kLeft);
        row.master = switchButton(masterId(filter), QString(), panelText(text.masterTip), kMasterX,
                                  y);
        connect(row.master, &QAbstractButton::clicked, this, [this, filter] {
            const SettingCall call = model_.toggleMaster(filter);
            refresh();
            send({call});
        });
        for (int code = 1; code <= frequencyCount(filter); ++code) {
            const QString label = QString::fromLatin1(frequencyLabel(filter, code));
            auto* button = optionButton(masterId(filter) + code, label,
                                        label + QLatin1Char('\n') + panelText(text.shortName),
                                        kButtonsX + (code - 1) * kButtonWidth, y, kButtonWidth);
            button->setCaptionBelow(true);
            button->resize(kButtonWidth, button->sizeHint().height());
            connect(button, &QAbstractButton::clicked, this, [this, filter, code] {
                const SettingCall call = model_.choose(filter, code);
                refresh();
                send({call});
            });
            row.buttons.push_back(button);
        }
        y += kRowHeight;
    }
    refresh();
}

void CCtrlTabLPF::read(const PanelReading& reading) {
    model_.show(reading.bytes);
    refresh();
}

void CCtrlTabLPF::collect(settings::DeviceSettings& bytes) const {
    for (Filter filter : kFilters) {
        bytes[settingOf(filter)] = model_.row(filter).code;
    }
}

void CCtrlTabLPF::refresh() {
    for (Filter filter : kFilters) {
        const FiltersModel::Row& state = model_.row(filter);
        Row& row = rowOf(filter);
        setChecked(row.master, state.master);
        for (std::size_t i = 0; i < row.buttons.size(); ++i) {
            row.buttons[i]->setVisible(state.buttonsVisible);
            setChecked(row.buttons[i], state.checked == static_cast<int>(i) + 1);
        }
    }
}

}  // namespace qm::studio::panels
