#pragma once

#include <QImage>
#include <QSize>
#include <array>

#include "common/runtime/clock.h"

class QPainter;

// The clock display's picture on a client area of `size` (left = top = 0): a framed panel with
// the date (day, month, two-digit year) and the time (hours, minutes, seconds) in seven-segment
// digits. The CPU graph is a child window below them.
namespace qm::audio::views {

struct ClockImages {
    // Frame tiles: top-left, bottom-left, top-right, bottom-right corners; left, top, right and
    // bottom edges.
    enum Tile { TopLeft, BottomLeft, TopRight, BottomRight, Left, Top, Right, Bottom };
    std::array<QImage, 8> frame;
    QImage datePanel;   // 67 x 14: six unlit digits in pairs with dots between the pairs
    QImage timePanel;   // 67 x 14: the same with colons
    QImage dateDigits;  // 7 x 140 digit strips
    QImage timeDigits;
};

void drawClockDisplay(QPainter& painter, QSize size, const LocalDateTime& now,
                      const ClockImages& images);

}  // namespace qm::audio::views
