#pragma once

#include <QString>

class QWidget;

namespace qm::studio {

// The messages and questions the studio puts to the user.
class UserPrompts {
  public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~UserPrompts() = default;

    virtual void showMessage(const QString& text, Icon icon) = 0;
    // Yes/No; true for Yes.
    virtual bool askYesNo(const QString& text, Icon icon) = 0;
    // The name and description dialog of a microphone or profile: starts with the given texts;
    // OK is possible only while the name isn't empty. True with the new texts on OK.
    virtual bool editNameAndDescription(const QString& title, QString& name,
                                        QString& description) = 0;
};

// The prompts as message boxes and a dialog over the given window.
class DialogPrompts final : public UserPrompts {
  public:
    explicit DialogPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const QString& text, Icon icon) override;
    bool askYesNo(const QString& text, Icon icon) override;
    bool editNameAndDescription(const QString& title, QString& name, QString& description) override;

  private:
    QWidget* parent_;
};

}  // namespace qm::studio
