#include "studio/panels/ctrl_tab_eq.h"

#include "studio/panels/eq_band_ex_wnd.h"

namespace qm::studio::panels {
namespace {

constexpr int kLeft = 15;
constexpr int kStripsX = 180;
constexpr int kStripsY = 40;

}  // namespace

CCtrlTabEQ::CCtrlTabEQ(PanelLink& link, QWidget* parent)
    : CCtrlTab(link, PanelTab::Equalizer, parent), strips_(new CEQExWnd(body())) {
    caption("Parametric equalizer", kLeft, 12, 300);
    caption("Band, Hz", kLeft, kStripsY + CEQBandExWnd::kListRow + 1, 150);
    caption("Band, On/Off", kLeft, kStripsY + CEQBandExWnd::kBandRow, 150);
    caption("Notch, On/Off", kLeft, kStripsY + CEQBandExWnd::kNotchRow, 150);
    const char* widths[] = {"Width, 100 Hz", "Width, 200 Hz", "Width, 300 Hz"};
    for (int i = 0; i < 3; ++i) {
        caption(widths[i], kLeft, kStripsY + CEQBandExWnd::kWidthRow + CEQBandExWnd::kWidthRowStep * i,
                150);
    }
    strips_->move(kStripsX, kStripsY);

    for (int band = 0; band < kBandCount; ++band) {
        CEQBandExWnd* strip = strips_->strip(band);
        connect(strip, &CEQBandExWnd::widthChosen, this,
                [this](int b, int width) { act(model_.chooseWidth(b, width)); });
        connect(strip, &CEQBandExWnd::frequencyChosen, this,
                [this](int b, int index) { act(model_.chooseFrequency(b, index)); });
        connect(strip, &CEQBandExWnd::notchToggled, this,
                [this](int b) { act(model_.toggleNotch(b)); });
        connect(strip, &CEQBandExWnd::bandToggled, this,
                [this](int b) { act(model_.toggleBand(b)); });
        connect(strip, &CEQBandExWnd::gainMoved, this, [this](int b, int position) {
            act(model_.moveGain(b, position), PanelLink::Sending::Latest);
        });
        connect(strip, &CEQBandExWnd::clicked, this, [this](int b) {
            if (this->link().attached()) {
                model_.selectBand(b);
                refresh();
            }
        });
    }
    refresh();
}

void CCtrlTabEQ::showControls(bool enabled) {
    if (!enabled) {
        model_.clear();
    }
    CCtrlTab::showControls(enabled);
}

void CCtrlTabEQ::read(const PanelReading& reading) {
    model_.show(reading.bytes, reading.productName);
    refresh();
}

void CCtrlTabEQ::collect(settings::DeviceSettings& bytes) const {
    bytes[settings::Setting::EQ_NOTCH] = model_.notch();
    bytes[settings::Setting::EQ_POWER] = model_.power();
    for (int band = 0; band < kBandCount; ++band) {
        bytes[settings::eqGain(band + 1)] = model_.gain(band);
        bytes[settings::eqMode(band + 1)] = model_.mode(band);
    }
}

void CCtrlTabEQ::act(const SettingCalls& calls, PanelLink::Sending sending) {
    refresh();
    send(calls, sending);
}

void CCtrlTabEQ::refresh() {
    for (int band = 0; band < kBandCount; ++band) {
        strips_->strip(band)->showStrip(model_.strip(band), model_.selectedBand() == band);
    }
}

}  // namespace qm::studio::panels
