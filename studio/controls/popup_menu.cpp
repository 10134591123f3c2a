#include "studio/controls/popup_menu.h"

#include <QMouseEvent>

namespace qm::studio::controls {

void PopupMenu::mouseReleaseEvent(QMouseEvent* event) {
    const QAction* action = actionAt(event->position().toPoint());
    if (action != nullptr && !action->isEnabled() && !action->isSeparator() &&
        event->button() == Qt::LeftButton) {
        event->accept();
        close();
        return;
    }
    QMenu::mouseReleaseEvent(event);
}

}  // namespace qm::studio::controls
