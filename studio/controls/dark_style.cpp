#include "studio/controls/dark_style.h"

namespace qm::studio::controls {

const DarkColors& darkColors() {
    static const DarkColors colors;
    return colors;
}

QPalette darkPalette() {
    const DarkColors& c = darkColors();
    QPalette palette;
    palette.setColor(QPalette::Window, c.window);
    palette.setColor(QPalette::WindowText, c.text);
    palette.setColor(QPalette::Base, c.list);
    palette.setColor(QPalette::AlternateBase, c.ribbon);
    palette.setColor(QPalette::Text, c.text);
    palette.setColor(QPalette::Button, c.ribbon);
    palette.setColor(QPalette::ButtonText, c.text);
    palette.setColor(QPalette::ToolTipBase, c.ribbon);
    palette.setColor(QPalette::ToolTipText, c.text);
    palette.setColor(QPalette::Highlight, c.highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, c.dimText);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, c.disabledText);
    }
    return palette;
}

QString darkStyleSheet() {
    const DarkColors& c = darkColors();
    const auto hex = [](const QColor& color) { return color.name(QColor::HexRgb); };
    QString sheet = QStringLiteral(
        "QMainWindow, QDialog { background: %1; color: %5; }\n"
        "QWidget#ribbonBar, QTabBar#ribbonTabs, QStackedWidget#ribbonPages,"
        " QStatusBar#statusBar { background: %3; color: %5; }\n"
        "QLabel#ribbonGroupCaption { color: %6; }\n"
        "QFrame[objectName^=\"ribbonGroup\"] { border-right: 1px solid %4; }\n"
        "QToolButton { color: %5; background: transparent; border: 1px solid transparent;"
        " padding: 2px; }\n"
        "QToolButton:hover { background: %9; border-color: %4; }\n"
        "QToolButton:checked { background: %8; border-color: %4; }\n"
        "QToolButton:disabled, QCheckBox:disabled, QLabel:disabled { color: %7; }\n"
        "QTabBar#ribbonTabs::tab { background: %3; color: %5; padding: 4px 12px; }\n"
        "QTabBar#ribbonTabs::tab:selected { background: %1; }\n"
        "QToolButton#ribbonSystemButton { background: %8; color: white; padding: 3px 12px; }\n"
        "QComboBox, QLineEdit { background: %2; color: %5; border: 1px solid %4;"
        " padding: 1px 4px; }\n"
        "QComboBox QAbstractItemView { background: %2; color: %5;"
        " selection-background-color: %8; }\n"
        "QDockWidget { color: %5; }\n"
        "QDockWidget::title { background: %3; padding: 4px; }\n"
        "QTreeWidget, QListWidget, QTreeView { background: %2; color: %5; border: none; }\n"
        "QProgressBar { background: %2; border: 1px solid %4; }\n"
        "QProgressBar::chunk { background: %8; }\n"
        "QLabel#versionPane { color: %6; }\n"
        "QToolTip { background: %3; color: %5; border: 1px solid %4; }\n"
        "QMenu { background: %3; color: %5; border: 1px solid %4; }\n"
        "QMenu::item:selected { background: %8; }\n"
        "QMenu::item:disabled { color: %7; }\n"
        "QMenu::item:disabled:selected { background: transparent; }\n"
        "QSplitter::handle { background: %3; }\n");
    return sheet.arg(hex(c.window), hex(c.list), hex(c.ribbon), hex(c.border), hex(c.text),
                     hex(c.dimText), hex(c.disabledText), hex(c.highlight), hex(c.hover));
}

}  // namespace qm::studio::controls
