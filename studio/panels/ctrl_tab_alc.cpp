#include "studio/panels/ctrl_tab_alc.h"

#include <QActionGroup>
#include <QCursor>
#include <QLabel>

#include "common/settings/level_labels.h"
#include "studio/controls/image_button.h"
#include "studio/controls/media_slider.h"
#include "studio/controls/popup_menu.h"

namespace qm::studio::panels {
namespace {

using settings::LevelScale;
using settings::levelLabel;

constexpr std::array<const char*, 4> kWaiting = {"2.7 ms", "5.3 ms", "10.7 ms", "21.3 ms"};
constexpr std::array<const char*, 4> kSpeed = {"0.0032 dB", "0.0042 dB", "0.0064 dB",
                                               "0.0172 dB"};
constexpr std::array<const char*, 8> kGain = {
    "20.8 us (by step 0.00424 dB)",  "20.8 us (by step 0.00212 dB)",
    "20.8 us (by step 0.00106 dB)",  "41.6 us (by step 0.00106 dB)",
    "83.3 us (by step 0.00106 dB)",  "166.6 us (by step 0.00106 dB)",
    "333.3 us (by step 0.00106 dB)", "666.6 us (by step 0.00106 dB)"};
constexpr std::array<const char*, 2> kLevels = {"-2.5 dBFS ... - 6.0 dBFS",
                                                "-6.0 dBFS ... - 12.0 dBFS"};
constexpr std::array<const char*, 2> kLevelCaptions = {"Limiter detection level 1",
                                                       "Limiter detection level 2"};
constexpr std::array<std::array<const char*, 4>, 2> kRanges = {{
    {"-2.5 dBFS > ... >= -4.1 dBFS", "-2.5 dBFS > ... >= -3.3 dBFS",
     "-4.1 dBFS > ... >= -6.0 dBFS", "-4.1 dBFS > ... >= -5.0 dBFS"},
    {"-6.0 dBFS > ... >= -8.5 dBFS", "-6.0 dBFS > ... >= -7.2 dBFS",
     "-8.5 dBFS > ... >= -12.0 dBFS", "-8.5 dBFS > ... >= -10.0 dBFS"},
}};

constexpr int kRow = 22;
constexpr int kFirstTimerExpiryMs = 1;

QString tip(const char* description, const char* shortName) {
    return panelText(description) + QLatin1Char('\n') + panelText(shortName);
}

QString labelOf(std::uint8_t code) {
    return QString::fromStdString(levelLabel(LevelScale::DspVolume, code));
}

}  // namespace

CCtrlTabALC::CCtrlTabALC(PanelLink& link, QWidget* parent) : CCtrlTab(link, PanelTab::Alc, parent) {
    buildVolume();
    buildRecovery();
    buildMode();
    buildLimiter();
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &CCtrlTabALC::onTimer);
    refresh();
}

CCtrlTabALC::~CCtrlTabALC() {
    stopTimer();
}

void CCtrlTabALC::buildVolume() {
    const int x = 15;
    caption("DSP Volume", x, 10);
    volumeSlider_ = slider(6013, Qt::Horizontal, AlcModel::kSliderMinimum,
                           AlcModel::kSliderMaximum, QRect(x, 32, 250, 20));
    volumeLabel_ = valueLabel(x + 260, 33);
    volumeButtons_ = {pushButton(6014, panelText("Normal, 0 dB"),
                                 tip("Set volume normal, 0 dB", "Normal"), x, 58, 100),
                      pushButton(6015, panelText("Mute"), tip("Set volume mute", "Mute"), x + 105,
                                 58, 70)};
    connect(volumeSlider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        const SettingCall call = model_.moveVolume(position);
        refresh();
        send({call}, PanelLink::Sending::Latest);
    });
    connect(volumeButtons_[0], &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.volumeNormal();
        refresh();
        send({call});
    });
    connect(volumeButtons_[1], &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.volumeMute();
        refresh();
        send({call});
    });

    alcControls_.push_back(caption("ALC Volume Reference", x, 100));
    referenceSlider_ = slider(6022, Qt::Horizontal, AlcModel::kSliderMinimum,
                              AlcModel::kSliderMaximum, QRect(x, 122, 250, 20));
    referenceLabel_ = valueLabel(x + 260, 123);
    referenceButtons_ = {pushButton(6023, panelText("Normal, 0 dB"),
                                    tip("Set volume normal, 0 dB", "Normal"), x, 148, 100),
                         pushButton(6024, panelText("Mute"), tip("Set volume mute", "Mute"),
                                    x + 105, 148, 70)};
    connect(referenceSlider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        const SettingCall call = model_.moveReference(position);
        refresh();
        send({call}, PanelLink::Sending::Latest);
    });
    connect(referenceButtons_[0], &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.referenceNormal();
        refresh();
        send({call});
    });
    connect(referenceButtons_[1], &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.referenceMute();
        refresh();
        send({call});
    });
    alcControls_.insert(alcControls_.end(), {referenceSlider_, referenceLabel_,
                                             referenceButtons_[0], referenceButtons_[1]});

    alcControls_.push_back(caption("ALC Volume Current", x, 190));
    currentLabel_ = valueLabel(x, 215);
    alcControls_.push_back(currentLabel_);
    auto* timerButton = pushButton(6379, panelText("Timer update"),
                                   tip("Select time for update ALC current volume", "Timer update"),
                                   x + 105, 212, 100);
    auto* manualButton = pushButton(6378, panelText("Manual update"),
                                    tip("Manual update current ALC volume", "Manual update"),
                                    x + 210, 212, 110);
    connect(timerButton, &QAbstractButton::clicked, this, &CCtrlTabALC::showTimerMenu);
    connect(manualButton, &QAbstractButton::clicked, this, &CCtrlTabALC::updateCurrentVolume);
}

void CCtrlTabALC::buildRecovery() {
    const int x = 390;
    alcControls_.push_back(caption("ALC Recovery", x, 10));
    recoverySwitch_ = switchButton(6200, panelText("On/Off"), tip("Set ALC Recovery On/Off", "On/Off"),
                                   x, 32);
    connect(recoverySwitch_, &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.toggleRecovery();
        refresh();
        send({call});
    });
    alcControls_.push_back(recoverySwitch_);

    alcControls_.push_back(caption("ALC Recovery Waiting", x, 70));
    alcControls_.push_back(caption("ALC Recovery Speed", x + 170, 70));
    for (int i = 0; i < 4; ++i) {
        const QString waiting = QString::fromLatin1(kWaiting[static_cast<std::size_t>(i)]);
        waiting_[static_cast<std::size_t>(i)] = optionButton(
            6201 + i, waiting,
            panelText("Set recovery waiting ") + waiting + QLatin1Char('\n') + waiting, x,
            92 + kRow * i, 150);
        connect(waiting_[static_cast<std::size_t>(i)], &QAbstractButton::clicked, this,
                [this, i] {
                    const SettingCall call = model_.chooseWaiting(i);
                    refresh();
                    send({call});
                });
        const QString speed = QString::fromLatin1(kSpeed[static_cast<std::size_t>(i)]);
        speed_[static_cast<std::size_t>(i)] = optionButton(
            6205 + i, speed,
            panelText("Set ALC Recovery Speed ") + speed + QLatin1Char('\n') + speed, x + 170,
            92 + kRow * i, 150);
        connect(speed_[static_cast<std::size_t>(i)], &QAbstractButton::clicked, this, [this, i] {
            const SettingCall call = model_.chooseSpeed(i);
            refresh();
            send({call});
        });
    }
    alcControls_.insert(alcControls_.end(), waiting_.begin(), waiting_.end());
    alcControls_.insert(alcControls_.end(), speed_.begin(), speed_.end());
}

void CCtrlTabALC::buildMode() {
    const int x = 740;
    caption("ALC Mode", x, 10);
    alcSwitch_ = switchButton(6209, panelText("On/Off"), tip("Set ALC Mode On/Off", "On/Off"), x,
                              32);
    connect(alcSwitch_, &QAbstractButton::clicked, this, [this] {
        stopTimer();
        const SettingCall call = model_.toggleAlc();
        refresh();
        startTimerIfDue();
        send({call});
    });
    alcControls_.push_back(caption("ALC Recovery Gain", x, 70));
    for (int g = 0; g < 8; ++g) {
        const QString text = QString::fromLatin1(kGain[static_cast<std::size_t>(g)]);
        auto* button = optionButton(6210 + g, text, panelText("Set ALC Recovery Gain ") + text, x,
                                    92 + kRow * g, 250);
        connect(button, &QAbstractButton::clicked, this, [this, g] {
            const SettingCall call = model_.chooseGain(g);
            refresh();
            send({call});
        });
        gain_[static_cast<std::size_t>(g)] = button;
        alcControls_.push_back(button);
    }
}

void CCtrlTabALC::buildLimiter() {
    const int x = 1010;
    alcControls_.push_back(caption("ALC Limiter Hight Low", x, 10, 300));
    for (int level = 0; level < 2; ++level) {
        const auto l = static_cast<std::size_t>(level);
        const int top = 32 + 128 * level;
        alcControls_.push_back(caption(kLevelCaptions[l], x, top, 300));
        const QString text = QString::fromLatin1(kLevels[l]);
        levels_[l] = optionButton(6220 + 5 * level, text,
                                  panelText("Set limiter detection level ") +
                                      QString::number(level + 1) + QLatin1Char('\n') + text,
                                  x, top + kRow, 300);
        connect(levels_[l], &QAbstractButton::clicked, this, [this, level] {
            const SettingCall call = model_.chooseLevel(level);
            refresh();
            send({call});
        });
        alcControls_.push_back(levels_[l]);
        for (int r = 0; r < 4; ++r) {
            const QString range = QString::fromLatin1(kRanges[l][static_cast<std::size_t>(r)]);
            auto* button = optionButton(6221 + 5 * level + r, range,
                                        panelText("Set limiter range ") + range +
                                            QLatin1Char('\n') + range,
                                        x + 20, top + kRow * (2 + r), 290);
            connect(button, &QAbstractButton::clicked, this, [this, level, r] {
                const SettingCall call = model_.chooseRange(level, r);
                refresh();
                send({call});
            });
            ranges_[l][static_cast<std::size_t>(r)] = button;
            alcControls_.push_back(button);
        }
    }
}

void CCtrlTabALC::refresh() {
    setSliderQuietly(volumeSlider_, model_.volumePosition());
    setSliderQuietly(referenceSlider_, model_.referencePosition());
    volumeLabel_->setText(labelOf(model_.volume()));
    referenceLabel_->setText(labelOf(model_.reference()));
    currentLabel_->setText(labelOf(model_.currentVolume()));

    const AlcModel::Fields f = model_.fields();
    setChecked(recoverySwitch_, f.recoveryOn);
    setChecked(alcSwitch_, f.alcOn);
    for (int i = 0; i < 4; ++i) {
        setChecked(waiting_[static_cast<std::size_t>(i)], f.waiting == i);
        setChecked(speed_[static_cast<std::size_t>(i)], f.speed == i);
    }
    for (int g = 0; g < 8; ++g) {
        setChecked(gain_[static_cast<std::size_t>(g)], f.gain == g);
    }
    for (int level = 0; level < 2; ++level) {
        const auto l = static_cast<std::size_t>(level);
        const bool selected = f.level == level;
        setChecked(levels_[l], selected);
        for (int r = 0; r < 4; ++r) {
            auto* button = ranges_[l][static_cast<std::size_t>(r)];
            setChecked(button, selected && f.range == r);
            button->setVisible(selected);
        }
    }
    applyEnabling();
}

void CCtrlTabALC::applyEnabling() {
    const bool alcOn = model_.alcOn();
    volumeSlider_->setEnabled(!alcOn);
    volumeLabel_->setEnabled(!alcOn);
    for (auto* button : volumeButtons_) {
        button->setEnabled(!alcOn);
    }
    for (QWidget* control : alcControls_) {
        control->setEnabled(alcOn);
    }
}

void CCtrlTabALC::showControls(bool enabled) {
    stopTimer();
    CCtrlTab::showControls(enabled);
    startTimerIfDue();
}

void CCtrlTabALC::read(const PanelReading& reading) {
    model_.show(reading.bytes);
    refresh();
    // The timer follows the ALC state just read, not the one shown before.
    stopTimer();
    startTimerIfDue();
}

void CCtrlTabALC::collect(settings::DeviceSettings& bytes) const {
    bytes[settings::Setting::Volume] = model_.volume();
    bytes[settings::Setting::ALC_REF_VALUE] = model_.reference();
    bytes[settings::Setting::ALC_VOLUME] = model_.currentVolume();
    bytes[settings::Setting::ALC_RECOVERY] = model_.recovery();
    bytes[settings::Setting::ALC_MODE] = model_.mode();
}

void CCtrlTabALC::setTimerPeriod(std::uint32_t periodMs) {
    period_ = periodMs;
}

void CCtrlTabALC::chooseTimerPeriod(std::uint32_t periodMs) {
    period_ = periodMs;
    emit timerPeriodChosen(periodMs);
    stopTimer();
    if (period_ != 0) {
        startTimer();
    }
}

void CCtrlTabALC::showTimerMenu() {
    controls::PopupMenu menu(panelText("Timer update ALC volume"), this);
    auto* group = new QActionGroup(&menu);
    const std::array<std::pair<const char*, std::uint32_t>, 3> items = {
        {{"Don't update", 0}, {"5 sec", 5000}, {"10 sec", 10000}}};
    for (const auto& [text, period] : items) {
        QAction* action = menu.addAction(panelText(text));
        action->setCheckable(true);
        action->setChecked(period == period_);
        action->setData(period);
        group->addAction(action);
    }
    // The menu runs its own event loop; the choice only concerns the timer, which reads whatever
    // microphone is selected when it fires.
    if (const QAction* chosen = menu.exec(QCursor::pos())) {
        chooseTimerPeriod(chosen->data().toUInt());
    }
}

void CCtrlTabALC::stopTimer() {
    timer_.stop();
}

void CCtrlTabALC::startTimerIfDue() {
    if (period_ != 0 && model_.alcOn()) {
        startTimer();
    }
}

void CCtrlTabALC::startTimer() {
    timer_.start(kFirstTimerExpiryMs);
}

void CCtrlTabALC::onTimer() {
    if (timer_.interval() != static_cast<int>(period_)) {
        timer_.setInterval(static_cast<int>(period_));
    }
    updateCurrentVolume();
}

void CCtrlTabALC::updateCurrentVolume() {
    if (!link().attached()) {
        return;
    }
    const std::uint8_t shown = model_.currentVolume();
    link().read(
        this, [shown](sdk::IQMDevice& device) { return readAlcVolume(device, shown); },
        [this](std::uint8_t volume) {
            model_.setCurrentVolume(volume);
            currentLabel_->setText(labelOf(volume));
        });
}

}  // namespace qm::studio::panels
