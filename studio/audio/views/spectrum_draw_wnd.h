#pragma once

#include <chrono>
#include <vector>

#include "studio/audio/analysis_state.h"
#include "studio/audio/views/plot_window.h"
#include "studio/audio/views/spectrum_painter.h"

// The spectrum window: redraws the displayed spectrum of the analysis ten times a second while
// it is visible, copying the spectrum under the analysis lock and drawing outside it.
namespace qm::audio::views {

class CSpectrumDrawWnd : public PlotWindow {
  public:
    static constexpr std::chrono::milliseconds kFramePeriod{100};

    explicit CSpectrumDrawWnd(const AnalysisState& state, QWidget* parent = nullptr);

    void setLook(const SpectrumLook& look);
    void setColors(const SpectrumColors& colors);
    // The selected microphone's own filter and equaliser settings, marked over the rows.
    void setSettingMarks(const SettingMarks& marks);
    const SettingMarks& settingMarks() const { return marks_; }
    const SpectrumLook& look() const { return look_; }

  protected:
    void drawScale(QPainter& painter) override;
    void drawMovingPart(QPainter& painter) override;

  private:
    const AnalysisState& state_;
    SpectrumLook look_;
    SpectrumColors colors_;
    SettingMarks marks_;
    std::vector<double> spectrum_;
    SpectrumCurveBuffers buffers_;
};

class CSpectrumWnd : public PlotHolder {
  public:
    explicit CSpectrumWnd(const AnalysisState& state, QWidget* parent = nullptr);
    CSpectrumDrawWnd* drawWnd() const { return draw_; }

  private:
    CSpectrumDrawWnd* draw_;
};

}  // namespace qm::audio::views
