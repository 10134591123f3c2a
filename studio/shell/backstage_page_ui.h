#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

namespace qm::studio {

class CMainFrame;
class CTonecraftApp;

// "User interface": the languages the studio can show (the built-in "Default English US" and
// one entry per translation found), the current one selected. "Apply" stores the chosen
// language and offers to restart the studio in it: a new instance starts, then this frame
// closes.
class CBackstagePageUI : public QWidget {
    Q_OBJECT

  public:
    CBackstagePageUI(CTonecraftApp& app, CMainFrame& frame, QWidget* parent = nullptr);

    QComboBox* languageList() const { return languages_; }
    QPushButton* applyButton() const { return apply_; }
    void apply();

  private:
    CTonecraftApp& app_;
    CMainFrame& frame_;
    QComboBox* languages_ = nullptr;
    QPushButton* apply_ = nullptr;
};

}  // namespace qm::studio
