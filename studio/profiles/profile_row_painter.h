#pragma once

#include <QRect>
#include <QString>

#include "common/profiles/profile.h"

class QPainter;

namespace qm::studio {

// One row of the profile list: the profile's name in the upper half, its description in the
// lower half, both from 32 px right of the row's left edge.
inline constexpr int kProfileRowHeight = 32;
inline constexpr int kProfileTextLeft = 32;
inline constexpr int kProfileToolTipLength = 80;  // UTF-16 characters

enum class ProfileRowZone { None, Name, Description };

QRect profileRowZoneRect(const QRect& row, ProfileRowZone zone);
// The upper half is the name's, the lower half the description's, across the whole width.
ProfileRowZone profileRowZoneAt(const QRect& row, const QPoint& point);
// The text of the zone's tooltip: the name or the description, at most 80 characters.
QString profileRowToolTip(const profiles::CProfile& profile, ProfileRowZone zone);

void paintProfileRow(QPainter& painter, const QRect& row, const profiles::CProfile& profile,
                     bool selected, bool hovered);

}  // namespace qm::studio
