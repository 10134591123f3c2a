#pragma once

#include <QWidget>
#include <map>

class QStackedWidget;
class QToolButton;

namespace qm::studio {

class CMainFrame;
class CTonecraftApp;

// The backstage's "Options" page: five tab buttons on the left, exactly one checked, and the
// area (5032) on the right that shows the chosen sub-page: "User interface" (5028), "Custom
// display color" (5029), "Server output Log" (5030), "Profile" (5031) and "Audio devices"
// (5041).
class CBackstagePageOptions : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kUserInterface = 5028;
    static constexpr int kColor = 5029;
    static constexpr int kLog = 5030;
    static constexpr int kProfile = 5031;
    static constexpr int kDevices = 5041;

    CBackstagePageOptions(CTonecraftApp& app, CMainFrame& frame, QWidget* parent = nullptr);

    // Shows the sub-page of this tab button (as pressing it does).
    void choose(int buttonId);
    int chosen() const { return chosen_; }
    QToolButton* tabButton(int buttonId) const;
    QWidget* subPage(int buttonId) const;

  private:
    QStackedWidget* area_ = nullptr;
    std::map<int, QToolButton*> buttons_;
    std::map<int, QWidget*> pages_;
    int chosen_ = 0;
};

}  // namespace qm::studio
