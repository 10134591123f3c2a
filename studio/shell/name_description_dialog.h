#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

namespace qm::studio {

// A name and a description to edit; OK is enabled only while the name is not empty.
class NameDescriptionDialog : public QDialog {
    Q_OBJECT

  public:
    NameDescriptionDialog(const QString& title, const QString& name, const QString& description,
                          QWidget* parent = nullptr);

    QString name() const;
    QString description() const;
    QLineEdit* nameEdit() const { return name_; }

  private:
    QLineEdit* name_ = nullptr;
    QLineEdit* description_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace qm::studio
