#include "studio/audio/views/monitor_images.h"

#include <QPainter>
#include <QPainterPath>

#include "studio/audio/views/view_style.h"

namespace qm::audio::views {
namespace {

const QColor kUnlitDigit(52, 52, 52);
const QColor kSeparator(150, 150, 150);
const QColor kDateDigit(150, 176, 200);
const QColor kTimeDigit(195, 218, 237);
const QColor kSystemDigit(192, 192, 192);
const QColor kOwnDigit(255, 128, 40);
const QColor kIcon(140, 140, 140);
const QColor kFrameLight(72, 72, 72);
const QColor kFrameDark(14, 14, 14);

QImage transparentImage(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Segments a..g of a 7 x 14 digit: horizontal bars two rows high between the columns, vertical
// bars two columns wide and four rows high.
constexpr QRect kSegments[] = {
    {2, 0, 3, 2},   // a: top
    {5, 2, 2, 4},   // b: upper right
    {5, 8, 2, 4},   // c: lower right
    {2, 12, 3, 2},  // d: bottom
    {0, 8, 2, 4},   // e: lower left
    {0, 2, 2, 4},   // f: upper left
    {2, 6, 3, 2},   // g: middle
};
// Which segments each digit lights, bit 0 = a.
constexpr int kDigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void paintDigit(QPainter& painter, QPoint at, int segments, const QColor& color) {
    for (int s = 0; s < 7; ++s) {
        if ((segments & (1 << s)) != 0) {
            painter.fillRect(kSegments[s].translated(at), color);
        }
    }
}

// A tile of the display's frame: a light line at its top or left edge, a dark line at its bottom
// edge or in its third column (the last one inside the window when the tile stands at W - 3).
enum Edge { kTopEdge = 1, kBottomEdge = 2, kLeftEdge = 4, kRightEdge = 8 };
QImage frameTile(int w, int h, int edges) {
    QImage tile(w, h, QImage::Format_ARGB32_Premultiplied);
    tile.fill(QColor(30, 30, 30));
    QPainter painter(&tile);
    if ((edges & kTopEdge) != 0) {
        painter.fillRect(QRect(0, 0, w, 1), kFrameLight);
    }
    if ((edges & kBottomEdge) != 0) {
        painter.fillRect(QRect(0, h - 1, w, 1), kFrameDark);
    }
    if ((edges & kLeftEdge) != 0) {
        painter.fillRect(QRect(0, 0, 1, h), kFrameLight);
    }
    if ((edges & kRightEdge) != 0) {
        painter.fillRect(QRect(2, 0, 1, h), kFrameDark);
    }
    return tile;
}

}  // namespace

QImage digitStrip(const QColor& lit) {
    QImage strip = transparentImage(7, 140);
    QPainter painter(&strip);
    for (int d = 0; d < 10; ++d) {
        paintDigit(painter, QPoint(0, 14 * d), kDigitSegments[d], lit);
    }
    return strip;
}

QImage digitPanel(Separator separator) {
    QImage panel = transparentImage(67, 14);
    QPainter painter(&panel);
    for (const int x : {0, 10, 25, 35, 50, 60}) {
        paintDigit(painter, QPoint(x, 0), 0x7F, kUnlitDigit);
    }
    for (const int x : {19, 44}) {
        if (separator == Separator::Dots) {
            painter.fillRect(QRect(x, 12, 2, 2), kSeparator);
        } else {
            painter.fillRect(QRect(x, 3, 2, 2), kSeparator);
            painter.fillRect(QRect(x, 9, 2, 2), kSeparator);
        }
    }
    return panel;
}

QImage cpuCaption() {
    QImage caption = transparentImage(54, 25);
    QPainter painter(&caption);
    QFont font = labelFont();
    font.setPixelSize(8);
    painter.setFont(font);
    painter.setPen(kSystemDigit);
    painter.drawText(QRect(0, 15, 27, 10), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("CPU%"));
    painter.setPen(kOwnDigit);
    painter.drawText(QRect(28, 15, 26, 10), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("CPU%"));
    return caption;
}

QImage meterIcons() {
    QImage icons = transparentImage(64, 32);
    QPainter painter(&icons);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(kIcon, 2.0);
    pen.setCapStyle(Qt::RoundCap);

    // Microphone: capsule, holder arc, stem and foot.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kIcon);
    painter.drawRoundedRect(QRectF(11, 4, 10, 15), 5, 5);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(8, 8, 16, 15), 180 * 16, 180 * 16);
    painter.drawLine(QPointF(16, 23), QPointF(16, 27));
    painter.drawLine(QPointF(11, 28), QPointF(21, 28));

    // Speaker: box and cone, and two sound waves.
    QPainterPath cone;
    cone.moveTo(36, 12);
    cone.lineTo(41, 12);
    cone.lineTo(48, 6);
    cone.lineTo(48, 26);
    cone.lineTo(41, 20);
    cone.lineTo(36, 20);
    cone.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kIcon);
    painter.drawPath(cone);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(46, 10, 8, 12), -50 * 16, 100 * 16);
    painter.drawArc(QRectF(46, 5, 14, 22), -50 * 16, 100 * 16);
    return icons;
}

ClockImages clockImages() {
    ClockImages images;
    images.frame[ClockImages::TopLeft] = frameTile(4, 3, kTopEdge | kLeftEdge);
    images.frame[ClockImages::BottomLeft] = frameTile(4, 2, kBottomEdge | kLeftEdge);
    images.frame[ClockImages::TopRight] = frameTile(4, 3, kTopEdge | kRightEdge);
    images.frame[ClockImages::BottomRight] = frameTile(4, 2, kBottomEdge | kRightEdge);
    images.frame[ClockImages::Left] = frameTile(4, 3, kLeftEdge);
    images.frame[ClockImages::Top] = frameTile(3, 3, kTopEdge);
    images.frame[ClockImages::Right] = frameTile(4, 3, kRightEdge);
    images.frame[ClockImages::Bottom] = frameTile(3, 2, kBottomEdge);
    images.datePanel = digitPanel(Separator::Dots);
    images.timePanel = digitPanel(Separator::Colons);
    images.dateDigits = digitStrip(kDateDigit);
    images.timeDigits = digitStrip(kTimeDigit);
    return images;
}

CpuGraphImages cpuGraphImages() {
    return {cpuCaption(), digitStrip(kSystemDigit), digitStrip(kOwnDigit)};
}

}  // namespace qm::audio::views
