#include "studio/controls/panel_tab_control.h"

#include <QTabBar>

#include "studio/controls/dark_style.h"
#include "studio/controls/scrolling_panel.h"

namespace qm::studio::controls {
namespace {

QString tabStyleSheet() {
    const DarkColors& c = darkColors();
    return QStringLiteral(
               "QTabWidget::pane { border: 0; background: %1; }"
               "QTabBar::tab { background: #000000; color: %2; padding: 5px 12px;"
               " border: 1px solid #000000; border-bottom: 0; margin-right: 1px; }"
               "QTabBar::tab:selected { background: %1; color: #ffffff; border-color: %3; }"
               "QTabBar::tab:hover:!selected:enabled { background: #1c1c1c; }"
               "QTabBar::tab:disabled { color: %4; }")
        .arg(c.window.name(), c.text.name(), c.border.name(), c.disabledText.name());
}

}  // namespace

PanelTabControl::PanelTabControl(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("tabControl%1").arg(kChildId));
    setDocumentMode(true);
    setUsesScrollButtons(true);
    tabBar()->setDrawBase(false);
    setStyleSheet(tabStyleSheet());
    fillWithPanelColour(*this);
}

void PanelTabControl::disableAllTabs() {
    for (int index = 0; index < count(); ++index) {
        setTabEnabled(index, false);
    }
}

}  // namespace qm::studio::controls
