#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <cstdint>

class QPainter;

// What the monitoring views share in their look: the fixed colours of the plots, the label font,
// and how a label sits in its box.
namespace qm::audio::views {

// A stored colour, 0x00BBGGRR (red in the low byte), as an opaque colour.
QColor colorFromColorRef(std::uint32_t colorRef);

inline const QColor kViewBackground(24, 24, 24);
inline const QColor kViewText(84, 84, 84);
inline const QColor kViewGrid(44, 44, 44, 140);
inline const QColor kWrapperBackground(65, 65, 65);

// Bold 9-pixel labels; Tahoma where it is installed, else the desktop's sans serif.
QFont labelFont();

// Draws `text` from the top-left corner of `box` on one line, without wrapping; a text wider
// than the box is cut with an ellipsis. Like the labels of the plots, text may run below a box
// that is shorter than the font.
void drawLabel(QPainter& painter, const QRectF& box, const QString& text, const QColor& color);

}  // namespace qm::audio::views
