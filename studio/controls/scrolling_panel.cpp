#include "studio/controls/scrolling_panel.h"

#include "studio/controls/dark_style.h"

namespace qm::studio::controls {

void fillWithPanelColour(QWidget& widget) {
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, darkColors().window);
    widget.setPalette(palette);
}

ScrollingPanel::ScrollingPanel(QWidget* content, QSize contentSize, QWidget* parent)
    : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    content->setFixedSize(contentSize);
    fillWithPanelColour(*content);
    setWidget(content);
    fillWithPanelColour(*this);
    fillWithPanelColour(*viewport());
}

}  // namespace qm::studio::controls
