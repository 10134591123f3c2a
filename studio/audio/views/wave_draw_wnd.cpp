#include "studio/audio/views/wave_draw_wnd.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "studio/audio/views/view_style.h"

namespace qm::audio::views {

CWaveDrawWnd::CWaveDrawWnd(const AnalysisState& state, QWidget* parent)
    : QWidget(parent),
      state_(state),
      color_(colorFromColorRef(0xEDDAC3)),
      history_(kWaveformColumns, 0.0),
      frames_(new RepaintTimer(this, kFramePeriod, [this] { update(); })) {
    setObjectName(QStringLiteral("CWaveDrawWnd"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CWaveDrawWnd::setLook(const WaveformLook& look) {
    if (look.mode != look_.mode) {
        scaleValid_ = false;
    }
    if (look.mode != look_.mode || look.scale != look_.scale) {
        look_ = look;
        update();
    }
}

void CWaveDrawWnd::setColor(const QColor& color) {
    color_ = color;
    Restart();
}

void CWaveDrawWnd::Restart() {
    scaleValid_ = false;
    update();
}

void CWaveDrawWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scaleValid_ = false;
}

void CWaveDrawWnd::paintEvent(QPaintEvent*) {
    state_.readWaveform([this](std::span<const double, kWaveformColumns> history) {
        std::copy(history.begin(), history.end(), history_.begin());
    });
    if (width() <= 0 || height() <= 0) {
        return;
    }
    if (!scaleValid_) {
        scale_ = QPixmap(size());
        QPainter scalePainter(&scale_);
        drawWaveformScale(scalePainter, size(), look_, color_);
        scaleValid_ = true;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, scale_);
    drawWaveformColumns(
        painter, size(),
        std::span<const double, kWaveformColumns>(history_.data(), kWaveformColumns), look_, color_,
        buffers_);
}

CWaveformWnd::CWaveformWnd(const AnalysisState& state, QWidget* parent)
    : QWidget(parent), draw_(new CWaveDrawWnd(state, this)) {
    setObjectName(QStringLiteral("CWaveformWnd"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWrapperBackground);
    setPalette(palette);
}

void CWaveformWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    draw_->setGeometry(0, 0, std::max(width() - 1, 0), height());
}

}  // namespace qm::audio::views
