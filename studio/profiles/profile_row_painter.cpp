#include "studio/profiles/profile_row_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "common/text/text.h"
#include "studio/controls/dark_style.h"

namespace qm::studio {
namespace {

QFont rowFont(bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

void drawLine(QPainter& painter, const QRect& zone, const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    if (text.isEmpty() || zone.width() <= 0)
        return;
    const QString elided = painter.fontMetrics().elidedText(text, Qt::ElideRight, zone.width());
    painter.drawText(zone, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
}

}  // namespace

QRect profileRowZoneRect(const QRect& row, ProfileRowZone zone) {
    const int half = kProfileRowHeight / 2;
    switch (zone) {
        case ProfileRowZone::Name:
            return QRect(row.left() + kProfileTextLeft, row.top(), row.width() - kProfileTextLeft,
                         half);
        case ProfileRowZone::Description:
            return QRect(row.left() + kProfileTextLeft, row.top() + half,
                         row.width() - kProfileTextLeft, half);
        case ProfileRowZone::None:
            break;
    }
    return {};
}

ProfileRowZone profileRowZoneAt(const QRect& row, const QPoint& point) {
    if (!row.contains(point))
        return ProfileRowZone::None;
    return point.y() < row.top() + kProfileRowHeight / 2 ? ProfileRowZone::Name
                                                         : ProfileRowZone::Description;
}

QString profileRowToolTip(const profiles::CProfile& profile, ProfileRowZone zone) {
    const std::string* text = nullptr;
    if (zone == ProfileRowZone::Name)
        text = &profile.name;
    else if (zone == ProfileRowZone::Description)
        text = &profile.description;
    if (text == nullptr)
        return {};
    return QString::fromStdString(
        std::string(qm::text::truncateUtf16Units(*text, kProfileToolTipLength)));
}

void paintProfileRow(QPainter& painter, const QRect& row, const profiles::CProfile& profile,
                     bool selected, bool hovered) {
    const controls::DarkColors& colors = controls::darkColors();
    painter.save();
    painter.setClipRect(row);
    painter.fillRect(row, selected ? colors.highlight : (hovered ? colors.hover : colors.list));
    painter.setFont(rowFont(true));
    painter.setPen(colors.text);
    drawLine(painter, profileRowZoneRect(row, ProfileRowZone::Name), profile.name);
    painter.setFont(rowFont(false));
    painter.setPen(colors.dimText);
    drawLine(painter, profileRowZoneRect(row, ProfileRowZone::Description), profile.description);
    painter.restore();
}

}  // namespace qm::studio
