#include "studio/profiles/pane_profile.h"

#include <QMenu>
#include <QVBoxLayout>

#include "studio/profiles/profile_list_ctrl.h"

namespace qm::studio {

CPaneProfile::CPaneProfile(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new CProfileListCtrl(this);
    list_->setProperty("childId", 6010);
    layout->addWidget(list_);

    menu_ = new QMenu(tr("Profile"), this);
    const std::pair<int, QString> commands[] = {{kRenameProfileCommand, tr("Rename profile")},
                                                {kRemoveProfileCommand, tr("Remove profile")},
                                                {kApplyProfileCommand, tr("Apply profile")}};
    for (const auto& [id, text] : commands) {
        QAction* action = menu_->addAction(text);
        action->setData(id);
        connect(action, &QAction::triggered, this,
                [this, command = id] { emit commandChosen(command); });
    }
    connect(list_, &CProfileListCtrl::contextMenuRequested, this, [this](const QPoint& at) {
        updateMenu();
        menu_->popup(at);
    });
    updateMenu();
}

void CPaneProfile::updateMenu() {
    const bool row = list_->selectedRow() >= 0;
    for (QAction* action : menu_->actions())
        action->setEnabled(row);
}

}  // namespace qm::studio
