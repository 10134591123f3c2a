#include "studio/audio/views/display_wnd.h"

#include <QPainter>

#include "studio/audio/views/monitor_images.h"
#include "studio/audio/views/status_graph_ctrl.h"

namespace qm::audio::views {
namespace {

constexpr QRect kGraphPlace(10, 32, 150, 25);
constexpr int kSecondMs = 1000;
constexpr int kAfterTheSecondMs = 5;

}  // namespace

CDispalyWnd::CDispalyWnd(Clock& clock, CpuTimesSource& times, int graphMode, int controlId,
                         QWidget* parent)
    : QWidget(parent),
      clock_(clock),
      images_(clockImages()),
      graph_(new CStatusGraphCtrl(times, clock, controlId, this)) {
    setObjectName(QStringLiteral("CDispalyWnd"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kSize);
    graph_->setDrawMode(graphMode);
    graph_->setGeometry(kGraphPlace);
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, [this] {
        update();
        scheduleTick();
    });
}

void CDispalyWnd::scheduleTick() {
    const int millisecond = clock_.localNow().millisecond;
    tick_.start(kSecondMs - millisecond + kAfterTheSecondMs);
}

void CDispalyWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleTick();
}

void CDispalyWnd::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    tick_.stop();
}

void CDispalyWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawClockDisplay(painter, size(), clock_.localNow(), images_);
}

}  // namespace qm::audio::views
