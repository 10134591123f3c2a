#pragma once

#include <QPixmap>
#include <QWidget>
#include <chrono>

#include "studio/audio/views/repaint_timer.h"

// The frame of the monitoring windows: a picture with a part that stays (background, grid,
// labels) and a part that moves with the data. The part that stays is drawn once into a cached
// image and drawn afresh after a change of size, settings or colours (Restart); every frame puts
// the cached image down and draws the moving part over it. A frame timer runs while the window
// is visible.
namespace qm::audio::views {

class PlotWindow : public QWidget {
  public:
    PlotWindow(std::chrono::milliseconds framePeriod, QWidget* parent);

    // Draws the part that stays afresh and repaints: after a change of a setting or a colour.
    void Restart();

    const QTimer& frameTimer() const { return frames_->timer(); }

  protected:
    virtual void drawScale(QPainter& painter) = 0;
    virtual void drawMovingPart(QPainter& painter) = 0;
    // What the frame timer does; by default a repaint.
    virtual void frameTick() { update(); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPixmap scale_;
    bool scaleValid_ = false;
    RepaintTimer* frames_;
};

// The holder of a plot in the waveform container: a dark grey ground with the plot one pixel
// narrower than itself.
class PlotHolder : public QWidget {
  public:
    explicit PlotHolder(QWidget* parent);

  protected:
    void setPlot(QWidget* plot) { plot_ = plot; }
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* plot_ = nullptr;
};

}  // namespace qm::audio::views
