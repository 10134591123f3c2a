#pragma once

#include <QWidget>

class QMenu;

namespace qm::studio {

class CProfileListCtrl;

// The command ids of the profile list's context menu "Profile".
inline constexpr int kRenameProfileCommand = 6379;
inline constexpr int kRemoveProfileCommand = 6380;
inline constexpr int kApplyProfileCommand = 6381;

// The contents of the profile pane: the list (child id 6010) filling the pane, and its context
// menu with Rename, Remove and Apply, disabled while no row is selected.
class CPaneProfile : public QWidget {
    Q_OBJECT

  public:
    explicit CPaneProfile(QWidget* parent = nullptr);

    CProfileListCtrl* list() const { return list_; }
    // The context menu as it would open now.
    QMenu* contextMenu() const { return menu_; }
    void updateMenu();

  signals:
    void commandChosen(int command);

  private:
    CProfileListCtrl* list_ = nullptr;
    QMenu* menu_ = nullptr;
};

}  // namespace qm::studio
