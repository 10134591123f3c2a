#pragma once

#include <array>

#include "studio/panels/ctrl_tab.h"
#include "studio/panels/output_models.h"

namespace qm::studio::panels {

// The analog output volume panel: a slider over codes 203 (left) to 0 (right), its dB label,
// "Normal, 0 dB" and "Mute".
class CCtrlTabExtOutVolume : public CCtrlTab {
    Q_OBJECT

  public:
    explicit CCtrlTabExtOutVolume(PanelLink& link, QWidget* parent = nullptr);

    void read(const PanelReading& reading) override;
    void collect(settings::DeviceSettings& bytes) const override;

    const OutputVolumeModel& model() const { return model_; }

  private:
    void refresh();

    OutputVolumeModel model_;
    controls::MediaSlider* slider_;
    QLabel* label_;
};

// The input gain panel of the output loop amplifier: the loop's power switch and, while it is
// on, the four gains as a radio group.
class CCtrlTabExtTpaVolume : public CCtrlTab {
    Q_OBJECT

  public:
    explicit CCtrlTabExtTpaVolume(PanelLink& link, QWidget* parent = nullptr);

    void read(const PanelReading& reading) override;
    void collect(settings::DeviceSettings& bytes) const override;

    const InputGainModel& model() const { return model_; }

  private:
    void refresh();

    InputGainModel model_;
    controls::ImageButton* power_;
    std::array<controls::ImageButton*, InputGainModel::kGainCount> gains_{};
};

using CBaseCtrlTabExtOutVolume = CBaseCtrlTabOf<CCtrlTabExtOutVolume>;
using CBaseCtrlTabExtTpaVolume = CBaseCtrlTabOf<CCtrlTabExtTpaVolume>;

}  // namespace qm::studio::panels
