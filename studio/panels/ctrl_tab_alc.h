#pragma once

#include <QTimer>
#include <array>
#include <cstdint>
#include <vector>

#include "studio/panels/alc_model.h"
#include "studio/panels/ctrl_tab.h"

namespace qm::studio::panels {

// The volume and ALC panel: the DSP volume and the ALC reference level (sliders from 5 to 241
// with dB labels, "Normal, 0 dB" and "Mute"), the ALC switch, the recovery switch with its
// waiting, speed and gain choices, the limiter's two detection levels with four ranges each,
// and the ALC's current volume, read on demand or every 5 or 10 seconds. While the ALC is off
// only the DSP volume can be changed; while it is on, only the ALC's controls.
class CCtrlTabALC : public CCtrlTab {
    Q_OBJECT

  public:
    explicit CCtrlTabALC(PanelLink& link, QWidget* parent = nullptr);
    ~CCtrlTabALC() override;

    void showControls(bool enabled) override;
    void read(const PanelReading& reading) override;
    void collect(settings::DeviceSettings& bytes) const override;

    // The update period of the current volume in ms: 0 (none), 5000 or 10000.
    std::uint32_t timerPeriod() const { return period_; }
    // The period as the studio's settings hold it at start; no timer is started.
    void setTimerPeriod(std::uint32_t periodMs);
    // A choice of the "Timer update" menu: the period set and reported, the timer stopped and,
    // for 5 or 10 seconds, started again whether the ALC is on or not.
    void chooseTimerPeriod(std::uint32_t periodMs);
    bool timerRunning() const { return timer_.isActive(); }
    // Reads the current volume once ("Manual update" and each timer expiry).
    void updateCurrentVolume();

    const AlcModel& model() const { return model_; }

  signals:
    // The user chose another update period; the studio stores it.
    void timerPeriodChosen(std::uint32_t periodMs);

  private:
    void buildVolume();
    void buildRecovery();
    void buildMode();
    void buildLimiter();
    void refresh();
    void applyEnabling();
    void showTimerMenu();
    void stopTimer();
    void startTimerIfDue();
    void startTimer();
    void onTimer();

    AlcModel model_;
    controls::MediaSlider* volumeSlider_ = nullptr;
    QLabel* volumeLabel_ = nullptr;
    std::array<controls::ImageButton*, 2> volumeButtons_{};
    controls::MediaSlider* referenceSlider_ = nullptr;
    QLabel* referenceLabel_ = nullptr;
    std::array<controls::ImageButton*, 2> referenceButtons_{};
    QLabel* currentLabel_ = nullptr;
    controls::ImageButton* recoverySwitch_ = nullptr;
    std::array<controls::ImageButton*, 4> waiting_{};
    std::array<controls::ImageButton*, 4> speed_{};
    controls::ImageButton* alcSwitch_ = nullptr;
    std::array<controls::ImageButton*, 8> gain_{};
    std::array<controls::ImageButton*, 2> levels_{};
    std::array<std::array<controls::ImageButton*, 4>, 2> ranges_{};
    std::vector<QWidget*> alcControls_;

    QTimer timer_;
    std::uint32_t period_ = 0;
};

using CBaseCtrlTabALC = CBaseCtrlTabOf<CCtrlTabALC>;

}  // namespace qm::studio::panels
