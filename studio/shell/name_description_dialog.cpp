#include "studio/shell/name_description_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::studio {

NameDescriptionDialog::NameDescriptionDialog(const QString& title, const QString& name,
                                             const QString& description, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    name_ = new QLineEdit(name, this);
    description_ = new QLineEdit(description, this);
    form->addRow(tr("Name:"), name_);
    form->addRow(tr("Description:"), description_);
    column->addLayout(form);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    column->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto follow = [this] {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(!name_->text().isEmpty());
    };
    connect(name_, &QLineEdit::textChanged, this, follow);
    follow();
}

QString NameDescriptionDialog::name() const {
    return name_->text();
}

QString NameDescriptionDialog::description() const {
    return description_->text();
}

}  // namespace qm::studio
