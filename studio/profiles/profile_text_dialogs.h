#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace qm::studio {

// A profile's name and description to enter; "Save" closes it with OK.
class ProfileTextsDialog : public QDialog {
    Q_OBJECT

  public:
    QString name() const;
    QString description() const;
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* descriptionEdit() const { return description_; }
    QPushButton* saveButton() const { return save_; }

  protected:
    struct Texts {
        QString title;
        QString nameLabel;
        QString descriptionLabel;
        bool withCancel;
    };
    ProfileTextsDialog(const Texts& texts, QWidget* parent);

    QLineEdit* name_ = nullptr;
    QLineEdit* description_ = nullptr;
    QPushButton* save_ = nullptr;
};

// "Save profile for selected device": both edits empty and Save disabled at first; each change of
// the name enables Save while the name isn't empty and a microphone is selected.
class CProfileSaveDlg final : public ProfileTextsDialog {
    Q_OBJECT

  public:
    CProfileSaveDlg(std::function<bool()> microphoneSelected, QWidget* parent = nullptr);
};

// "Save name and description for selected profile": filled with the profile's texts, Save
// disabled at first; any change of either edit enables Save while the name isn't empty.
class CProfileNameDescDlg final : public ProfileTextsDialog {
    Q_OBJECT

  public:
    CProfileNameDescDlg(const QString& name, const QString& description, QWidget* parent = nullptr);
};

}  // namespace qm::studio
