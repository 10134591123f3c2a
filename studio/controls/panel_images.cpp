#include "studio/controls/panel_images.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <cmath>

// The images are compiled into this static library; registering them here keeps the linker from
// dropping them.
static void registerControlImages() {
    Q_INIT_RESOURCE(controls_images);
}

namespace qm::studio::controls {

QPixmap svgPixmap(const QString& resource, QSize size, qreal devicePixelRatio) {
    if (size.isEmpty()) {
        return {};
    }
    const QString key = QStringLiteral("qm-svg:%1:%2x%3@%4")
                            .arg(resource)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    QSvgRenderer renderer(resource);
    if (!renderer.isValid()) {
        return {};
    }
    const QSize pixels(static_cast<int>(std::ceil(size.width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(size.height() * devicePixelRatio)));
    pixmap = QPixmap(pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QPixmap panelImage(const QString& name, QSize size, qreal devicePixelRatio) {
    static const bool registered = (registerControlImages(), true);
    static_cast<void>(registered);
    return svgPixmap(QStringLiteral(":/controls/%1.svg").arg(name), size, devicePixelRatio);
}

}  // namespace qm::studio::controls
