#pragma once

#include <QObject>
#include <QString>
#include <map>

class QDockWidget;
class QMainWindow;

namespace qm::studio::controls {

class RegistryManager;

// Numbered docking panes of a main window. Layouts are saved by name under
// "DockingPaneLayouts\<name>" of the registry manager's root and restored at the next start; a
// layout that is missing or can't be applied leaves the arrangement the panes were created in.
class DockingPaneManager : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* kLayoutsSection = "DockingPaneLayouts";

    DockingPaneManager(QMainWindow& window, RegistryManager& registry);

    // A pane docked in `area`, holding `content`. Its object name carries the number, which is
    // what a stored layout refers to.
    QDockWidget* createPane(int id, const QString& title, QWidget* content,
                            Qt::DockWidgetArea area);
    // Docks pane `id` directly below pane `aboveId`.
    void dockBelow(int id, int aboveId);
    QDockWidget* pane(int id) const;
    void setPaneTitle(int id, const QString& title);

    // False when no layout of that name is stored or it could not be applied.
    bool loadLayout(const QString& name);
    bool saveLayout(const QString& name);

  signals:
    // A pane was moved, docked, floated or resized.
    void panesChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::string section(const QString& name) const;

    QMainWindow& window_;
    RegistryManager& registry_;
    std::map<int, QDockWidget*> panes_;
};

}  // namespace qm::studio::controls
