#include "studio/audio/views/spectrum_draw_wnd.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "studio/audio/views/view_style.h"

namespace qm::audio::views {

CSpectrumDrawWnd::CSpectrumDrawWnd(const AnalysisState& state, QWidget* parent)
    : QWidget(parent),
      state_(state),
      spectrum_(kFftSize, 0.0),
      frames_(new RepaintTimer(this, kFramePeriod, [this] { update(); })) {
    setObjectName(QStringLiteral("CSpectrumDrawWnd"));
    setAttribute(Qt::WA_OpaquePaintEvent);
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

void CSpectrumDrawWnd::Restart() {
    scaleValid_ = false;
    update();
}

void CSpectrumDrawWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scaleValid_ = false;
}

void CSpectrumDrawWnd::paintEvent(QPaintEvent*) {
    state_.readSpectrum([this](std::span<const double, kFftSize> displayed) {
        std::copy(displayed.begin(), displayed.end(), spectrum_.begin());
    });
    if (width() <= 0 || height() <= 0) {
        return;
    }
    if (!scaleValid_) {
        scale_ = QPixmap(size());
        QPainter scalePainter(&scale_);
        drawSpectrumScale(scalePainter, size(), look_, colors_);
        scaleValid_ = true;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, scale_);
    drawSpectrumCurve(painter, size(),
                      std::span<const double, kFftSize>(spectrum_.data(), kFftSize), look_, colors_,
                      buffers_);
}

CSpectrumWnd::CSpectrumWnd(const AnalysisState& state, QWidget* parent)
    : QWidget(parent), draw_(new CSpectrumDrawWnd(state, this)) {
    setObjectName(QStringLiteral("CSpectrumWnd"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWrapperBackground);
    setPalette(palette);
}

void CSpectrumWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    draw_->setGeometry(0, 0, std::max(width() - 1, 0), height());
}

}  // namespace qm::audio::views
