#pragma once

#include <QPixmap>
#include <QWidget>
#include <chrono>
#include <vector>

#include "studio/audio/analysis_state.h"
#include "studio/audio/views/repaint_timer.h"
#include "studio/audio/views/waveform_painter.h"

// The waveform window: redraws the waveform history of the analysis ten times a second while it
// is visible, copying the history under the analysis lock and drawing outside it. The scale is
// drawn once into a cached image and redrawn when the size, the scale or the colour changes.
namespace qm::audio::views {

class CWaveDrawWnd : public QWidget {
  public:
    static constexpr std::chrono::milliseconds kFramePeriod{100};

    explicit CWaveDrawWnd(const AnalysisState& state, QWidget* parent = nullptr);

    void setLook(const WaveformLook& look);
    void setColor(const QColor& color);
    const WaveformLook& look() const { return look_; }

    // Draws the scale afresh and repaints: after the colour changed.
    void Restart();

    const QTimer& frameTimer() const { return frames_->timer(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const AnalysisState& state_;
    WaveformLook look_;
    QColor color_;
    std::vector<double> history_;
    WaveformBuffers buffers_;
    QPixmap scale_;
    bool scaleValid_ = false;
    RepaintTimer* frames_;
};

// The waveform window's holder in the waveform container: a dark grey ground with the window
// one pixel narrower than itself.
class CWaveformWnd : public QWidget {
  public:
    explicit CWaveformWnd(const AnalysisState& state, QWidget* parent = nullptr);
    CWaveDrawWnd* drawWnd() const { return draw_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    CWaveDrawWnd* draw_;
};

}  // namespace qm::audio::views
