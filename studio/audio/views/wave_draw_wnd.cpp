#include "studio/audio/views/wave_draw_wnd.h"

#include <algorithm>

#include "studio/audio/views/view_style.h"

namespace qm::audio::views {

CWaveDrawWnd::CWaveDrawWnd(const AnalysisState& state, QWidget* parent)
    : PlotWindow(kFramePeriod, parent),
      state_(state),
      color_(colorFromColorRef(0xEDDAC3)),
      history_(kWaveformColumns, 0.0) {
    setObjectName(QStringLiteral("CWaveDrawWnd"));
}

void CWaveDrawWnd::setLook(const WaveformLook& look) {
    if (look.mode != look_.mode) {
        look_ = look;
        Restart();  // the other scale
    } else if (look.scale != look_.scale) {
        look_ = look;
        update();
    }
}

void CWaveDrawWnd::setColor(const QColor& color) {
    color_ = color;
    Restart();
}

void CWaveDrawWnd::drawScale(QPainter& painter) {
    drawWaveformScale(painter, size(), look_, color_);
}

void CWaveDrawWnd::drawMovingPart(QPainter& painter) {
    state_.readWaveform([this](std::span<const double, kWaveformColumns> history) {
        std::copy(history.begin(), history.end(), history_.begin());
    });
    drawWaveformColumns(
        painter, size(),
        std::span<const double, kWaveformColumns>(history_.data(), kWaveformColumns), look_, color_,
        buffers_);
}

CWaveformWnd::CWaveformWnd(const AnalysisState& state, QWidget* parent)
    : PlotHolder(parent), draw_(new CWaveDrawWnd(state, this)) {
    setObjectName(QStringLiteral("CWaveformWnd"));
    setPlot(draw_);
}

}  // namespace qm::audio::views
