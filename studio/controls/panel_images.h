#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace qm::studio::controls {

// An SVG picture of the studio's resources (a path such as ":/panels/beam_0.svg") rendered at
// `size` device-independent pixels for a screen of `devicePixelRatio`; rendered once per size
// and kept in the pixmap cache. An empty pixmap when the resource isn't there.
QPixmap svgPixmap(const QString& resource, QSize size, qreal devicePixelRatio = 1.0);

// One of the controls' own button images (":/controls/<name>.svg").
QPixmap panelImage(const QString& name, QSize size, qreal devicePixelRatio = 1.0);

}  // namespace qm::studio::controls
