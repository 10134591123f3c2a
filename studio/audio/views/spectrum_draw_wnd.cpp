#include "studio/audio/views/spectrum_draw_wnd.h"

#include <algorithm>

namespace qm::audio::views {

CSpectrumDrawWnd::CSpectrumDrawWnd(const AnalysisState& state, QWidget* parent)
    : PlotWindow(kFramePeriod, parent), state_(state), spectrum_(kFftSize, 0.0) {
    setObjectName(QStringLiteral("CSpectrumDrawWnd"));
}

void CSpectrumDrawWnd::setLook(const SpectrumLook& look) {
    if (look.mode != look_.mode || look.markers != look_.markers || look.bound != look_.bound) {
        look_ = look;
        Restart();
    }
}

void CSpectrumDrawWnd::setColors(const SpectrumColors& colors) {
    colors_ = colors;
    Restart();
}

void CSpectrumDrawWnd::setSettingMarks(const SettingMarks& marks) {
    if (marks != marks_) {
        marks_ = marks;
        Restart();
    }
}

void CSpectrumDrawWnd::drawScale(QPainter& painter) {
    drawSpectrumScale(painter, size(), look_, colors_, marks_);
}

void CSpectrumDrawWnd::drawMovingPart(QPainter& painter) {
    state_.readSpectrum([this](std::span<const double, kFftSize> displayed) {
        std::copy(displayed.begin(), displayed.end(), spectrum_.begin());
    });
    drawSpectrumCurve(painter, size(),
                      std::span<const double, kFftSize>(spectrum_.data(), kFftSize), look_, colors_,
                      buffers_);
}

CSpectrumWnd::CSpectrumWnd(const AnalysisState& state, QWidget* parent)
    : PlotHolder(parent), draw_(new CSpectrumDrawWnd(state, this)) {
    setObjectName(QStringLiteral("CSpectrumWnd"));
    setPlot(draw_);
}

}  // namespace qm::audio::views
