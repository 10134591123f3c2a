#pragma once

#include <QWidget>
#include <cstdint>

#include "studio/panels/ctrl_tab.h"
#include "studio/panels/direction_model.h"

class QComboBox;

namespace qm::studio::panels {

// The picture of a beam pattern: the polar grid and, over it, the pattern of the code (a
// question mark for a code no pattern has).
class CBeamWnd : public QWidget {
    Q_OBJECT

  public:
    explicit CBeamWnd(QWidget* parent = nullptr);

    void setPattern(std::uint8_t code);
    std::uint8_t pattern() const { return code_; }
    // The resource of a code's picture.
    static QString patternResource(std::uint8_t code);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::uint8_t code_ = 0;
};

// The direction panel: the beam pattern list with its picture, the direction volume (slider
// position 41 - code, dB label, "Normal, 0 dB") and the zoom (slider 0 to 255, plain number).
class CCtrlTabBeam : public CCtrlTab {
    Q_OBJECT

  public:
    explicit CCtrlTabBeam(PanelLink& link, QWidget* parent = nullptr);

    void read(const PanelReading& reading) override;
    void collect(settings::DeviceSettings& bytes) const override;

    const DirectionModel& model() const { return model_; }
    QComboBox* beamList() const { return list_; }
    CBeamWnd* picture() const { return picture_; }

  private:
    void refresh();

    DirectionModel model_;
    QComboBox* list_;
    CBeamWnd* picture_;
    controls::MediaSlider* volumeSlider_;
    QLabel* volumeLabel_;
    controls::MediaSlider* zoomSlider_;
    QLabel* zoomLabel_;
};

using CBaseCtrlTabBeam = CBaseCtrlTabOf<CCtrlTabBeam>;

}  // namespace qm::studio::panels
