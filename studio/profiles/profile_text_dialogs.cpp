#include "studio/profiles/profile_text_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::studio {

ProfileTextsDialog::ProfileTextsDialog(const Texts& texts, QWidget* parent) : QDialog(parent) {
    setWindowTitle(texts.title);
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("6303"));
    description_ = new QLineEdit(this);
    description_->setObjectName(QStringLiteral("6304"));
    form->addRow(texts.nameLabel, name_);
    form->addRow(texts.descriptionLabel, description_);
    column->addLayout(form);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    save_ = new QPushButton(tr("Save"), this);
    save_->setDefault(true);
    save_->setEnabled(false);
    buttons->addWidget(save_);
    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
    if (texts.withCancel) {
        auto* cancel = new QPushButton(tr("Cancel"), this);
        buttons->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    column->addLayout(buttons);
    setMinimumWidth(380);
}

QString ProfileTextsDialog::name() const {
    return name_->text();
}

QString ProfileTextsDialog::description() const {
    return description_->text();
}

CProfileSaveDlg::CProfileSaveDlg(std::function<bool()> microphoneSelected, QWidget* parent)
    : ProfileTextsDialog({tr("Save profile for selected device"), tr("Set profile name:"),
                          tr("Set profile description:"), false},
                         parent) {
    connect(name_, &QLineEdit::textChanged, this,
            [this, selected = std::move(microphoneSelected)](const QString& text) {
                save_->setEnabled(!text.isEmpty() && selected && selected());
            });
}

CProfileNameDescDlg::CProfileNameDescDlg(const QString& name, const QString& description,
                                         QWidget* parent)
    : ProfileTextsDialog({tr("Save name and description for selected profile"), tr("Profile name:"),
                          tr("Profile description:"), true},
                         parent) {
    name_->setText(name);
    description_->setText(description);
    const auto follow = [this] { save_->setEnabled(!name_->text().isEmpty()); };
    connect(name_, &QLineEdit::textChanged, this, follow);
    connect(description_, &QLineEdit::textChanged, this, follow);
}

}  // namespace qm::studio
