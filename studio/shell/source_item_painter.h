#pragma once

#include <QRect>
#include <QString>

class QPainter;

namespace qm::studio {

// What one microphone item of the source list shows.
struct SourceItemState {
    QString serial;
    QString description;
    QString friendlyName;
    bool active = false;  // started

    friend bool operator==(const SourceItemState&, const SourceItemState&) = default;
};

enum class SourceItemZone { None, Serial, Description, FriendlyName };

inline constexpr int kSourceItemHeight = 33;
inline constexpr int kGroupHeaderHeight = 24;
inline constexpr int kMaxToolTipLength = 80;  // UTF-16 characters

// The zones of an item whose rectangle starts at `item`: the serial number at x 32..100 and the
// description at x 115..right on the first line (y..y+15), the friendly name at x 32..right on
// the second (y+16..y+32).
QRect sourceItemZoneRect(const QRect& item, SourceItemZone zone);
SourceItemZone sourceItemZoneAt(const QRect& item, const QPoint& point);

// The tooltip of a zone: its text, at most 80 characters; empty outside the zones.
QString sourceItemToolTip(const SourceItemState& state, SourceItemZone zone);

// Draws one item: the list background (or the selection), a state mark (lit for a started
// microphone), and the three texts in their zones, dimmed for an inactive microphone.
void paintSourceItem(QPainter& painter, const QRect& item, const SourceItemState& state,
                     bool selected, bool hovered);

// Draws a group header: an expand mark, the header text and a rule to the right edge.
void paintGroupHeader(QPainter& painter, const QRect& rect, const QString& header, bool expanded);

}  // namespace qm::studio
