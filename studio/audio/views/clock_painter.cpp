#include "studio/audio/views/clock_painter.h"

#include <QPainter>

#include "studio/audio/views/cpu_graph_painter.h"

namespace qm::audio::views {
namespace {

const QColor kBackground(30, 30, 30);
constexpr int kRow = 8;

void drawPair(QPainter& painter, int x, int value, const QImage& strip) {
    drawDigit(painter, QPoint(x, kRow), strip, (value / 10) % 10);
    drawDigit(painter, QPoint(x + 10, kRow), strip, value % 10);
}

void drawFrame(QPainter& painter, int w, int h, const ClockImages& images) {
    const auto& f = images.frame;
    for (int x = 0; x < w; x += 3) {
        painter.drawImage(QPoint(x, 0), f[ClockImages::Top]);
        painter.drawImage(QPoint(x, h - 2), f[ClockImages::Bottom]);
    }
    for (int y = 0; y < h; y += 3) {
        painter.drawImage(QPoint(0, y), f[ClockImages::Left]);
        painter.drawImage(QPoint(w - 3, y), f[ClockImages::Right]);
    }
    painter.drawImage(QPoint(0, 0), f[ClockImages::TopLeft]);
    painter.drawImage(QPoint(0, h - 2), f[ClockImages::BottomLeft]);
    painter.drawImage(QPoint(w - 3, 0), f[ClockImages::TopRight]);
    painter.drawImage(QPoint(w - 3, h - 2), f[ClockImages::BottomRight]);
}

}  // namespace

void drawClockDisplay(QPainter& painter, QSize size, const LocalDateTime& now,
                      const ClockImages& images) {
    painter.fillRect(QRect(QPoint(0, 0), size), kBackground);
    drawFrame(painter, size.width(), size.height(), images);
    painter.drawImage(QPoint(10, kRow), images.datePanel);
    painter.drawImage(QPoint(90, kRow), images.timePanel);

    drawPair(painter, 10, now.day, images.dateDigits);
    drawPair(painter, 35, now.month, images.dateDigits);
    drawPair(painter, 60, ((now.year - 2000) % 100 + 100) % 100, images.dateDigits);
    drawPair(painter, 90, now.hour, images.timeDigits);
    drawPair(painter, 115, now.minute, images.timeDigits);
    drawPair(painter, 140, now.second, images.timeDigits);
}

}  // namespace qm::audio::views
