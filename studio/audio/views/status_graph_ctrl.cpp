#include "studio/audio/views/status_graph_ctrl.h"

#include <QMouseEvent>
#include <QPainter>

#include "studio/audio/views/monitor_images.h"

namespace qm::audio::views {

CStatusGraphCtrl::CStatusGraphCtrl(CpuTimesSource& times, Clock& clock, int controlId,
                                   QWidget* parent)
    : QWidget(parent),
      controlId_(controlId),
      own_(times, clock),
      graph_(times, own_),
      images_(cpuGraphImages()),
      samples_(new RepaintTimer(this, kSamplePeriod, [this] { sample(); })) {
    setObjectName(QStringLiteral("CStatusGraphCtrl"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CStatusGraphCtrl::sample() {
    graph_.tick(height());
    repaint();
}

void CStatusGraphCtrl::setDrawMode(int mode) {
    graph_.setDrawMode(mode);
    update();
}

void CStatusGraphCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawCpuGraph(painter, size(), graph_, images_, buffers_);
}

void CStatusGraphCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    setDrawMode(graph_.drawMode() == 0 ? 1 : 0);
    emit clicked(controlId_);
}

}  // namespace qm::audio::views
