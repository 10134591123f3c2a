#pragma once

#include <chrono>

#include "studio/audio/peak_levels.h"
#include "studio/audio/peak_meter_levels.h"
#include "studio/audio/views/peak_meter_painter.h"
#include "studio/audio/views/plot_window.h"

namespace qm::studio::controls {
class MediaSlider;
}

// The peak meter window: the input and output meters with their holds, 25 frames a second, and
// below their icons the input and output volume sliders (0 .. 1000). Every frame reads both
// peaks from the audio system at that moment; a second timer lets the holds fall back.
namespace qm::audio::views {

class CPPMDrawWnd : public PlotWindow {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kFramePeriod{40};
    static constexpr std::chrono::milliseconds kHoldFallPeriod{80};
    static constexpr int kSliderMaximum = 1000;

    explicit CPPMDrawWnd(PeakLevels& peaks, QWidget* parent = nullptr);

    // The holds stay across a change of colours (and Restart).
    void setColors(const PeakMeterColors& colors);

    // The sliders at volume × 1000, clamped to their range; no signal is emitted.
    void setInputVolume(float volume);
    void setOutputVolume(float volume);
    // The output slider at a position, as when the preview volume changed outside the studio.
    void setOutputPosition(int position);

    // One frame: both peaks read, levels and holds updated, repainted. The frame timer calls it.
    void showPeaks();
    // One fall-back tick of the holds. The fall-back timer calls it.
    void fallBack();

    const PeakMeterLevels& levels() const { return levels_; }
    studio::controls::MediaSlider* inputSlider() const { return input_; }
    studio::controls::MediaSlider* outputSlider() const { return output_; }
    const QTimer& holdTimer() const { return holds_->timer(); }

  signals:
    // The user moved a slider to a position 0 .. 1000.
    void inputVolumeMoved(int position);
    void outputVolumeMoved(int position);

  protected:
    void drawScale(QPainter& painter) override;
    void drawMovingPart(QPainter& painter) override;
    void frameTick() override { showPeaks(); }
    void resizeEvent(QResizeEvent* event) override;

  private:
    void setPosition(studio::controls::MediaSlider* slider, int position);

    PeakLevels& peaks_;
    PeakMeterLevels levels_;
    PeakMeterColors colors_;
    PeakMeterBuffers buffers_;
    QImage icons_;
    bool settingPosition_ = false;
    studio::controls::MediaSlider* input_;
    studio::controls::MediaSlider* output_;
    RepaintTimer* holds_;
};

}  // namespace qm::audio::views
