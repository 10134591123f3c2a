#include "studio/controls/docking_pane_manager.h"

#include <QByteArray>
#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>

#include "studio/controls/registry_manager.h"

namespace qm::studio::controls {
namespace {

constexpr const char* kLayoutValue = "State";
// Version of the blob QMainWindow writes; a blob of another version is not applied.
constexpr int kStateVersion = 1;

}  // namespace

DockingPaneManager::DockingPaneManager(QMainWindow& window, RegistryManager& registry)
    : QObject(&window), window_(window), registry_(registry) {}

QDockWidget* DockingPaneManager::createPane(int id, const QString& title, QWidget* content,
                                            Qt::DockWidgetArea area) {
    auto* dock = new QDockWidget(title, &window_);
    dock->setObjectName(QStringLiteral("Pane%1").arg(id));
    dock->setWidget(content);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    window_.addDockWidget(area, dock);
    connect(dock, &QDockWidget::dockLocationChanged, this, &DockingPaneManager::panesChanged);
    connect(dock, &QDockWidget::topLevelChanged, this, &DockingPaneManager::panesChanged);
    dock->installEventFilter(this);
    panes_[id] = dock;
    return dock;
}

void DockingPaneManager::dockBelow(int id, int aboveId) {
    QDockWidget* below = pane(id);
    QDockWidget* above = pane(aboveId);
    if (below == nullptr || above == nullptr) {
        return;
    }
    window_.splitDockWidget(above, below, Qt::Vertical);
}

QDockWidget* DockingPaneManager::pane(int id) const {
    const auto found = panes_.find(id);
    return found == panes_.end() ? nullptr : found->second;
}

void DockingPaneManager::setPaneTitle(int id, const QString& title) {
    if (QDockWidget* dock = pane(id)) {
        dock->setWindowTitle(title);
    }
}

std::string DockingPaneManager::section(const QString& name) const {
    return std::string(kLayoutsSection) + "\\" + name.toStdString();
}

bool DockingPaneManager::loadLayout(const QString& name) {
    const auto bytes = registry_.getProfileBinary(section(name), kLayoutValue);
    if (!bytes || bytes->empty()) {
        return false;
    }
    const QByteArray state(reinterpret_cast<const char*>(bytes->data()),
                           static_cast<qsizetype>(bytes->size()));
    return window_.restoreState(state, kStateVersion);
}

bool DockingPaneManager::saveLayout(const QString& name) {
    const QByteArray state = window_.saveState(kStateVersion);
    return registry_.writeProfileBinary(section(name), kLayoutValue,
                                        std::vector<std::uint8_t>(state.begin(), state.end()));
}

bool DockingPaneManager::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move) {
        emit panesChanged();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qm::studio::controls
