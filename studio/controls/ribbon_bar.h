#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "studio/controls/command_ui.h"
#include "studio/controls/prompt.h"

class QHBoxLayout;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolButton;

namespace qm::studio::controls {

class RibbonBar;
class RibbonGroup;

// One tab of the ribbon: a row of groups.
class RibbonTab : public QWidget {
    Q_OBJECT

  public:
    RibbonTab(RibbonBar& bar, int id, QWidget* parent);

    int id() const { return id_; }
    RibbonGroup* addGroup(int id, const QString& caption);
    const std::vector<RibbonGroup*>& groups() const { return groups_; }

  private:
    RibbonBar& bar_;
    const int id_;
    std::vector<RibbonGroup*> groups_;
};

// The ribbon: a system button that opens the backstage, tabs of groups of controls, and two
// buttons on the bar itself that minimise the ribbon to its tab row and expand it again.
//
// Controls send their command id through commandTriggered (buttons, check boxes) or
// comboSelected (drop-down lists, with the chosen entry's integer item data). After every
// command, and at a steady pace while the bar is visible, the command updater is asked for the
// enabled and checked state of every command.
class RibbonBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMinimizeCommand = 146;  // shown while the ribbon is expanded
    static constexpr int kExpandCommand = 147;    // shown while the ribbon is minimised

    explicit RibbonBar(QWidget* parent = nullptr);

    QToolButton* setSystemButton(int id, const Prompt& prompt);
    QToolButton* systemButton() const { return systemButton_; }

    RibbonTab* addTab(int id, const QString& caption);
    int tabCount() const;
    RibbonTab* tab(int index) const;
    QString tabCaption(int index) const;
    void setTabToolTip(int index, const QString& text);
    QString tabToolTip(int index) const;
    int currentTab() const;
    void setCurrentTab(int index);

    void setMinimized(bool minimized);
    bool isMinimized() const { return minimized_; }
    QToolButton* minimizeButton() const { return minimizeButton_; }
    QToolButton* expandButton() const { return expandButton_; }

    // Every control of the ribbon with this command id, in creation order.
    std::vector<QWidget*> controls(int id) const;
    QWidget* control(int id) const;
    template <typename T>
    T* controlAs(int id) const {
        return qobject_cast<T*>(control(id));
    }

    void setCommandUpdater(CommandUpdater* updater) { updater_ = updater; }
    // Asks the updater for the state of every command and applies it.
    void updateCommands();

    // Sends a command as its control does: commandTriggered, then an update pass.
    void triggerCommand(int id);

    // Used by the groups.
    void registerControl(int id, QWidget* control);
    void emitComboSelected(int id, int index, int itemData);

  signals:
    void commandTriggered(int id);
    void comboSelected(int id, int index, int itemData);
    void systemButtonClicked();
    void contextMenuRequested(const QPoint& globalPosition);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QHBoxLayout* topRow_ = nullptr;
    QToolButton* systemButton_ = nullptr;
    QTabBar* tabBar_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QToolButton* minimizeButton_ = nullptr;
    QToolButton* expandButton_ = nullptr;
    QTimer* updateTimer_ = nullptr;
    std::vector<RibbonTab*> tabs_;
    std::map<int, std::vector<QWidget*>> controls_;
    CommandUpdater* updater_ = nullptr;
    bool minimized_ = false;
};

}  // namespace qm::studio::controls
