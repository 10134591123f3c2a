#include "studio/shell/user_prompts.h"

#include <QMessageBox>

#include "studio/shell/name_description_dialog.h"
#include "studio/shell/string_table.h"

namespace qm::studio {
namespace {

QMessageBox::Icon boxIcon(UserPrompts::Icon icon) {
    switch (icon) {
        case UserPrompts::Icon::Information:
            return QMessageBox::Information;
        case UserPrompts::Icon::Warning:
            return QMessageBox::Warning;
        case UserPrompts::Icon::Error:
            return QMessageBox::Critical;
        case UserPrompts::Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void DialogPrompts::showMessage(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), loadString(128), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool DialogPrompts::askYesNo(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), loadString(128), text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}

bool DialogPrompts::editNameAndDescription(const QString& title, QString& name,
                                           QString& description) {
    NameDescriptionDialog dialog(title, name, description, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    name = dialog.name();
    description = dialog.description();
    return true;
}

}  // namespace qm::studio
