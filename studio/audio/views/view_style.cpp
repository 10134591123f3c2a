#include "studio/audio/views/view_style.h"

#include <QFontMetrics>
#include <QPainter>

namespace qm::audio::views {

QColor colorFromColorRef(std::uint32_t colorRef) {
    return {static_cast<int>(colorRef & 0xFFU), static_cast<int>((colorRef >> 8) & 0xFFU),
            static_cast<int>((colorRef >> 16) & 0xFFU)};
}

QFont labelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(9);
    font.setBold(true);
    return font;
}

void drawLabel(QPainter& painter, const QRectF& box, const QString& text, const QColor& color) {
    const QFontMetrics metrics(painter.font());
    const int width = static_cast<int>(box.width());
    const QString shown = metrics.horizontalAdvance(text) > width
                              ? metrics.elidedText(text, Qt::ElideRight, width)
                              : text;
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     shown);
}

}  // namespace qm::audio::views
