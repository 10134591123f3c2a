#pragma once

#include <QTimer>
#include <QWidget>

#include "common/runtime/clock.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/views/clock_painter.h"

// The status display of the ribbon (165 x 65): a seven-segment clock with the date and time of
// the local wall clock, and the CPU load graph below it. The clock repaints just after each
// full second, so no second is skipped or shown twice.
namespace qm::audio::views {

class CStatusGraphCtrl;

class CDispalyWnd : public QWidget {
  public:
    static constexpr QSize kSize{165, 65};

    // `graphMode` is the graph's first draw mode (0 bars, 1 lines); `controlId` the id its
    // clicks report.
    CDispalyWnd(Clock& clock, CpuTimesSource& times, int graphMode, int controlId,
                QWidget* parent = nullptr);

    CStatusGraphCtrl* graph() const { return graph_; }

    QSize sizeHint() const override { return kSize; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void scheduleTick();

    Clock& clock_;
    ClockImages images_;
    CStatusGraphCtrl* graph_;
    QTimer tick_;
};

}  // namespace qm::audio::views
