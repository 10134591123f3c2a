#include "studio/audio/views/repaint_timer.h"

#include <QEvent>

namespace qm::audio::views {

bool RepaintTimer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show) {
            timer_.start();
        } else if (event->type() == QEvent::Hide) {
            timer_.stop();
        }
    }
    return false;
}

}  // namespace qm::audio::views
