#include "studio/shell/source_item_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "common/text/text.h"

namespace qm::studio {
namespace {

const QColor kBackground(0x1E, 0x1E, 0x1E);
const QColor kSelected(0x3A, 0x6E, 0xA5);
const QColor kHovered(0x2E, 0x2E, 0x2E);
const QColor kActiveText(0xDD, 0xE2, 0xE3);
const QColor kActiveDetail(0xA0, 0xA0, 0xA0);
const QColor kInactiveText(0x6E, 0x6E, 0x6E);
const QColor kActiveMark(0x4C, 0xC2, 0x5A);
const QColor kInactiveMark(0x5E, 0x5E, 0x5E);
const QColor kHeaderText(0x8C, 0xB4, 0xE6);
const QColor kHeaderRule(0x3C, 0x3C, 0x3C);

constexpr int kSerialLeft = 32;
constexpr int kSerialRight = 100;
constexpr int kDescriptionLeft = 115;
constexpr int kLineHeight = 16;
constexpr int kMarkLeft = 10;
constexpr int kMarkSize = 12;

QFont itemFont(bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

void drawText(QPainter& painter, const QRect& zone, const QString& text) {
    if (text.isEmpty() || zone.width() <= 0) {
        return;
    }
    const QString elided = painter.fontMetrics().elidedText(text, Qt::ElideRight, zone.width());
    painter.drawText(zone, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
}

}  // namespace

QRect sourceItemZoneRect(const QRect& item, SourceItemZone zone) {
    const int x = item.left();
    const int y = item.top();
    switch (zone) {
        case SourceItemZone::Serial:
            return QRect(QPoint(x + kSerialLeft, y), QPoint(x + kSerialRight, y + kLineHeight - 1));
        case SourceItemZone::Description:
            return QRect(QPoint(x + kDescriptionLeft, y),
                         QPoint(item.right(), y + kLineHeight - 1));
        case SourceItemZone::FriendlyName:
            return QRect(QPoint(x + kSerialLeft, y + kLineHeight),
                         QPoint(item.right(), y + 2 * kLineHeight));
        case SourceItemZone::None:
            break;
    }
    return {};
}

SourceItemZone sourceItemZoneAt(const QRect& item, const QPoint& point) {
    for (const SourceItemZone zone :
         {SourceItemZone::Serial, SourceItemZone::Description, SourceItemZone::FriendlyName}) {
        if (sourceItemZoneRect(item, zone).contains(point)) {
            return zone;
        }
    }
    return SourceItemZone::None;
}

QString sourceItemToolTip(const SourceItemState& state, SourceItemZone zone) {
    QString text;
    switch (zone) {
        case SourceItemZone::Serial:
            text = state.serial;
            break;
        case SourceItemZone::Description:
            text = state.description;
            break;
        case SourceItemZone::FriendlyName:
            text = state.friendlyName;
            break;
        case SourceItemZone::None:
            return {};
    }
    const std::string utf8 = text.toStdString();
    return QString::fromStdString(std::string(text::truncateUtf16Units(utf8, kMaxToolTipLength)));
}

void paintSourceItem(QPainter& painter, const QRect& item, const SourceItemState& state,
                     bool selected, bool hovered) {
    painter.save();
    painter.setClipRect(item);
    painter.fillRect(item, selected ? kSelected : (hovered ? kHovered : kBackground));

    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRect mark(item.left() + kMarkLeft, item.top() + (kLineHeight - kMarkSize) / 2 + 2,
                     kMarkSize, kMarkSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(state.active ? kActiveMark : kInactiveMark);
    painter.drawEllipse(mark);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const QColor main = state.active ? kActiveText : kInactiveText;
    const QColor detail = state.active ? kActiveDetail : kInactiveText;
    painter.setFont(itemFont(true));
    painter.setPen(main);
    drawText(painter, sourceItemZoneRect(item, SourceItemZone::Serial), state.serial);
    painter.setFont(itemFont(false));
    painter.setPen(detail);
    drawText(painter, sourceItemZoneRect(item, SourceItemZone::Description), state.description);
    painter.setPen(main);
    drawText(painter, sourceItemZoneRect(item, SourceItemZone::FriendlyName), state.friendlyName);
    painter.restore();
}

void paintGroupHeader(QPainter& painter, const QRect& rect, const QString& header, bool expanded) {
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPointF center(rect.left() + 12, rect.center().y() + 0.5);
    QPainterPath arrow;
    if (expanded) {
        arrow.moveTo(center + QPointF(-4, -2));
        arrow.lineTo(center + QPointF(4, -2));
        arrow.lineTo(center + QPointF(0, 3));
    } else {
        arrow.moveTo(center + QPointF(-2, -4));
        arrow.lineTo(center + QPointF(3, 0));
        arrow.lineTo(center + QPointF(-2, 4));
    }
    arrow.closeSubpath();
    painter.fillPath(arrow, kHeaderText);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setFont(itemFont(true));
    painter.setPen(kHeaderText);
    const QRect textRect(rect.left() + 24, rect.top(), rect.width() - 24, rect.height());
    const QFontMetrics metrics = painter.fontMetrics();
    const QString elided = metrics.elidedText(header, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    const int ruleLeft = textRect.left() + metrics.horizontalAdvance(elided) + 8;
    if (ruleLeft < rect.right()) {
        painter.setPen(kHeaderRule);
        painter.drawLine(ruleLeft, rect.center().y(), rect.right() - 4, rect.center().y());
    }
    painter.restore();
}

}  // namespace qm::studio
