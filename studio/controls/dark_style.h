#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

namespace qm::studio::controls {

// The colours of the studio's dark look.
struct DarkColors {
    QColor window{0x43, 0x43, 0x43};   // frames, panels, pane strips
    QColor list{0x1E, 0x1E, 0x1E};     // lists and views
    QColor ribbon{0x2B, 0x2B, 0x2B};   // ribbon, tabs, status bar
    QColor border{0x5E, 0x5E, 0x5E};   // frames of controls
    QColor text{0xDD, 0xE2, 0xE3};     // normal text
    QColor dimText{0xA0, 0xA0, 0xA0};  // version pane, inactive items
    QColor disabledText{0x6E, 0x6E, 0x6E};
    QColor highlight{0x3A, 0x6E, 0xA5};  // selection
    QColor hover{0x55, 0x55, 0x55};
};

const DarkColors& darkColors();

// Palette and style sheet of the dark look, built from darkColors().
QPalette darkPalette();
QString darkStyleSheet();

}  // namespace qm::studio::controls
