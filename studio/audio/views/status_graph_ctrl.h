#pragma once

#include <QWidget>
#include <chrono>

#include "studio/audio/cpu_load_graph.h"
#include "studio/audio/views/cpu_graph_painter.h"
#include "studio/audio/views/repaint_timer.h"

// The CPU load graph: once a second it samples the machine's load and the studio's own share
// and repaints; a click switches between bars and lines and is reported with the control's id.
namespace qm::audio::views {

class CStatusGraphCtrl : public QWidget {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kSamplePeriod{1000};

    CStatusGraphCtrl(CpuTimesSource& times, Clock& clock, int controlId, QWidget* parent = nullptr);

    // One sampling tick and a repaint at once. The sampling timer calls it.
    void sample();

    void setDrawMode(int mode);
    const CpuLoadGraph& graph() const { return graph_; }
    const QTimer& sampleTimer() const { return samples_->timer(); }

  signals:
    // The draw mode was switched by a click.
    void clicked(int controlId);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int controlId_;
    OwnCpuSampler own_;
    CpuLoadGraph graph_;
    CpuGraphImages images_;
    CpuGraphBuffers buffers_;
    RepaintTimer* samples_;
};

}  // namespace qm::audio::views
