#pragma once

#include <QPixmap>
#include <QWidget>
#include <chrono>
#include <vector>

#include "studio/audio/analysis_state.h"
#include "studio/audio/views/repaint_timer.h"
#include "studio/audio/views/spectrum_painter.h"

// The spectrum window: redraws the displayed spectrum of the analysis ten times a second while
// it is visible. Each frame copies the spectrum under the analysis lock and draws outside it;
// what does not move (grid, labels, markers) is drawn once into a cached image and redrawn when
// the size, the view settings or the colours change.
namespace qm::audio::views {

class CSpectrumDrawWnd : public QWidget {
  public:
    static constexpr std::chrono::milliseconds kFramePeriod{100};

    explicit CSpectrumDrawWnd(const AnalysisState& state, QWidget* parent = nullptr);

    void setLook(const SpectrumLook& look);
    void setColors(const SpectrumColors& colors);
    const SpectrumLook& look() const { return look_; }

    // Draws the scale afresh and repaints: after the bound or a colour changed.
    void Restart();

    const QTimer& frameTimer() const { return frames_->timer(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const AnalysisState& state_;
    SpectrumLook look_;
    SpectrumColors colors_;
    std::vector<double> spectrum_;
    SpectrumCurveBuffers buffers_;
    QPixmap scale_;
    bool scaleValid_ = false;
    RepaintTimer* frames_;
};

// The spectrum window's holder in the waveform container: a dark grey ground with the window
// one pixel narrower than itself.
class CSpectrumWnd : public QWidget {
  public:
    explicit CSpectrumWnd(const AnalysisState& state, QWidget* parent = nullptr);
    CSpectrumDrawWnd* drawWnd() const { return draw_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    CSpectrumDrawWnd* draw_;
};

}  // namespace qm::audio::views
