#include "studio/panels/ctrl_tab_ext.h"

#include <QLabel>

#include "common/settings/level_labels.h"
#include "studio/controls/image_button.h"
#include "studio/controls/media_slider.h"

namespace qm::studio::panels {
namespace {

constexpr int kLeft = 15;
constexpr std::array<const char*, InputGainModel::kGainCount> kGains = {
    "Gain 20 dB", "Gain 26 dB", "Gain 32 dB", "Gain 36 dB"};

QString tip(const QString& description, const QString& shortName) {
    return description + QLatin1Char('\n') + shortName;
}

}  // namespace

CCtrlTabExtOutVolume::CCtrlTabExtOutVolume(PanelLink& link, QWidget* parent)
    : CCtrlTab(link, PanelTab::OutputVolume, parent) {
    caption("Output analog Volume", kLeft, 10, 300);
    slider_ = slider(6311, Qt::Horizontal, 0, OutputVolumeModel::kSliderMaximum,
                     QRect(kLeft, 32, 406, 20));
    label_ = valueLabel(kLeft + 416, 33);
    auto* normal = pushButton(6312, panelText("Normal, 0 dB"),
                              tip(panelText("Set volume normal, 0 dB"), panelText("Normal")),
                              kLeft, 58, 100);
    auto* mute = pushButton(6314, panelText("Mute"),
                            tip(panelText("Set volume mute"), panelText("Mute")), kLeft + 105, 58,
                            70);
    connect(slider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        const SettingCall call = model_.move(position);
        refresh();
        send({call}, PanelLink::Sending::Latest);
    });
    connect(normal, &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.normal();
        refresh();
        send({call});
    });
    connect(mute, &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.mute();
        refresh();
        send({call});
    });
    refresh();
}

void CCtrlTabExtOutVolume::read(const PanelReading& reading) {
    model_.show(reading.bytes);
    refresh();
}

void CCtrlTabExtOutVolume::collect(settings::DeviceSettings& bytes) const {
    bytes[settings::Setting::OUT_VOLUME] = model_.volume();
}

void CCtrlTabExtOutVolume::refresh() {
    setSliderQuietly(slider_, model_.position());
    label_->setText(QString::fromStdString(
        settings::levelLabel(settings::LevelScale::OutputVolume, model_.volume())));
}

CCtrlTabExtTpaVolume::CCtrlTabExtTpaVolume(PanelLink& link, QWidget* parent)
    : CCtrlTab(link, PanelTab::InputGain, parent) {
    const QString powerText = panelText("On-Off Power Out Loop");
    caption("Power Out Loop", kLeft, 10, 300);
    power_ = switchButton(6350, powerText, tip(panelText("Switch On-Off Power Out Loop"), powerText),
                          kLeft, 32);
    power_->resize(power_->sizeHint());
    connect(power_, &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.togglePower();
        refresh();
        send({call});
    });
    for (int g = 0; g < InputGainModel::kGainCount; ++g) {
        const QString text = panelText(kGains[static_cast<std::size_t>(g)]);
        auto* button = optionButton(6351 + g, text,
                                    tip(panelText("Set ") + text, text), kLeft + 20,
                                    66 + 24 * g, 160);
        connect(button, &QAbstractButton::clicked, this, [this, g] {
            const SettingCall call = model_.chooseGain(g);
            refresh();
            send({call});
        });
        gains_[static_cast<std::size_t>(g)] = button;
    }
    refresh();
}

void CCtrlTabExtTpaVolume::read(const PanelReading& reading) {
    model_.show(reading.bytes);
    refresh();
}

void CCtrlTabExtTpaVolume::collect(settings::DeviceSettings& bytes) const {
    bytes[settings::Setting::TPA] = model_.tpa();
}

void CCtrlTabExtTpaVolume::refresh() {
    setChecked(power_, model_.powerOn());
    for (int g = 0; g < InputGainModel::kGainCount; ++g) {
        auto* button = gains_[static_cast<std::size_t>(g)];
        setChecked(button, model_.gain() == g);
        button->setVisible(model_.powerOn());
    }
}

}  // namespace qm::studio::panels
