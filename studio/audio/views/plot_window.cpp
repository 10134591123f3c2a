#include "studio/audio/views/plot_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "studio/audio/views/view_style.h"

namespace qm::audio::views {

PlotWindow::PlotWindow(std::chrono::milliseconds framePeriod, QWidget* parent)
    : QWidget(parent), frames_(new RepaintTimer(this, framePeriod, [this] { frameTick(); })) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotWindow::Restart() {
    scaleValid_ = false;
    update();
}

void PlotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scaleValid_ = false;
}

void PlotWindow::paintEvent(QPaintEvent* event) {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    if (!scaleValid_) {
        scale_ = QPixmap(size());
        QPainter scalePainter(&scale_);
        drawScale(scalePainter);
        scaleValid_ = true;
    }
    QPainter painter(this);
    painter.drawPixmap(event->rect(), scale_, event->rect());
    drawMovingPart(painter);
}

PlotHolder::PlotHolder(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWrapperBackground);
    setPalette(palette);
}

void PlotHolder::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (plot_ != nullptr) {
        plot_->setGeometry(0, 0, std::max(width() - 1, 0), height());
    }
}

}  // namespace qm::audio::views
