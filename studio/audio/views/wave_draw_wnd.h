#pragma once

#include <chrono>
#include <vector>

#include "studio/audio/analysis_state.h"
#include "studio/audio/views/plot_window.h"
#include "studio/audio/views/waveform_painter.h"

// The waveform window: redraws the waveform history of the analysis ten times a second while it
// is visible, copying the history under the analysis lock and drawing outside it.
namespace qm::audio::views {

class CWaveDrawWnd : public PlotWindow {
  public:
    static constexpr std::chrono::milliseconds kFramePeriod{100};

    explicit CWaveDrawWnd(const AnalysisState& state, QWidget* parent = nullptr);

    void setLook(const WaveformLook& look);
    void setColor(const QColor& color);
    const WaveformLook& look() const { return look_; }

  protected:
    void drawScale(QPainter& painter) override;
    void drawMovingPart(QPainter& painter) override;

  private:
    const AnalysisState& state_;
    WaveformLook look_;
    QColor color_;
    std::vector<double> history_;
    WaveformBuffers buffers_;
};

class CWaveformWnd : public PlotHolder {
  public:
    explicit CWaveformWnd(const AnalysisState& state, QWidget* parent = nullptr);
    CWaveDrawWnd* drawWnd() const { return draw_; }

  private:
    CWaveDrawWnd* draw_;
};

}  // namespace qm::audio::views
