#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>
#include <chrono>

// A window's frame timer: runs at a fixed period while the window is visible and stops while it
// is hidden, so a view nobody sees costs nothing.
namespace qm::audio::views {

class RepaintTimer : public QObject {
  public:
    // Calls `tick` every `period` while `window` is visible.
    template <typename Tick>
    RepaintTimer(QWidget* window, std::chrono::milliseconds period, Tick tick)
        : QObject(window), window_(window) {
        timer_.setInterval(period);
        QObject::connect(&timer_, &QTimer::timeout, this, tick);
        window->installEventFilter(this);
    }

    const QTimer& timer() const { return timer_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QTimer timer_;
};

}  // namespace qm::audio::views
