#pragma once

#include <QScrollArea>
#include <QSize>

namespace qm::studio::controls {

// The outer window of a control panel: it holds the panel's inner window at its fixed content
// size and scrolls it, with its scroll bars and the mouse wheel, when it has less room; both
// are filled with the panel colour.
class ScrollingPanel : public QScrollArea {
    Q_OBJECT

  public:
    // Takes `content` (given its fixed size) as its scrolled widget.
    ScrollingPanel(QWidget* content, QSize contentSize, QWidget* parent = nullptr);
};

// Fills a widget's background with the colour of the panels (0x434343).
void fillWithPanelColour(QWidget& widget);

}  // namespace qm::studio::controls
