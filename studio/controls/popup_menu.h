#pragma once

#include <QMenu>

namespace qm::studio::controls {

// The studio's context and system menus. A command that can't be used now is drawn dimmed, and
// a click on it closes the menu without running it, as a click anywhere else outside a command
// would (a plain QMenu stays open then, which leaves the user wondering).
class PopupMenu : public QMenu {
    Q_OBJECT

  public:
    using QMenu::QMenu;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace qm::studio::controls
