#include "studio/audio/views/peak_meter_painter.h"

#include <QPainter>

#include "studio/audio/level_scale.h"
#include "studio/audio/views/view_style.h"

namespace qm::audio::views {
namespace {

const QColor kInfinityLabel(124, 124, 124);
const QColor kUnlitSegment(44, 44, 44, 140);

// Horizontal extent of a meter's segments, as offsets from the right edge.
struct MeterColumn {
    int from;
    int to;
};
constexpr MeterColumn kOutputColumn{3, 16};
constexpr MeterColumn kInputColumn{42, 55};

// Scale marks in dB below full scale; labels only from -60 up.
constexpr int kScaleMarks[] = {96, 90, 80, 70, 60, 50, 40, 35, 30, 25, 20, 15, 10, 8, 6, 4, 2, 0};
constexpr int kLowestLabel = 60;

QLineF segment(const MeterColumn& column, int right, double y) {
    return {static_cast<double>(right - column.from), y, static_cast<double>(right - column.to), y};
}

int zoneOf(const PeakMeterGeometry& g, double y) {
    if (y > g.yMid) {
        return 0;
    }
    return y > g.yMax ? 1 : 2;
}

// Lit segments from the bottom up to and including the level's row (at least the bottom one),
// and one segment at the hold when the level is below it.
void addMeter(const PeakMeterGeometry& g, const MeterColumn& column, int right, float level,
              float hold, PeakMeterBuffers& buffers) {
    const double top = g.yOf(level);
    double y = g.y0;
    do {
        buffers.zones[zoneOf(g, y)].append(segment(column, right, y));
        y -= PeakMeterGeometry::kSegmentPitch;
    } while (y >= top);
    if (level < hold) {
        const double holdRow = g.yOf(hold);
        y = g.y0;
        while (y > holdRow) {
            y -= PeakMeterGeometry::kSegmentPitch;
        }
        buffers.zones[zoneOf(g, y)].append(segment(column, right, y));
    }
}

}  // namespace

PeakMeterGeometry::PeakMeterGeometry(QSize size)
    : y0((size.height() - 40) - kSliderArea),
      meterHeight(y0 - kTop),
      yMid(yOf(DbToPercent(-10.0F))),
      yMax(yOf(DbToPercent(-5.0F))) {}

void drawPeakMeterScale(QPainter& painter, QSize size, const QImage& icons) {
    const int right = size.width();
    const int h = size.height();
    const PeakMeterGeometry g(size);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), kViewBackground);

    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(QPointF(-3, h - 264), QPointF(29, h - 232)), icons,
                      QRectF(0, 0, 31, 31));
    painter.drawImage(QRectF(QPointF(28, h - 264), QPointF(60, h - 232)), icons,
                      QRectF(32, 0, 31, 31));

    painter.setFont(labelFont());
    for (const int mark : kScaleMarks) {
        if (mark > kLowestLabel) {
            continue;
        }
        if (mark == 0) {
            const double y = g.yOf(DbToPercent(-1.0F));
            drawLabel(painter, QRectF(QPointF(right - 33, y - 6), QPointF(right, y)),
                      QStringLiteral("0"), kViewText);
        } else {
            const double y = g.yOf(DbToPercent(static_cast<float>(-mark)));
            drawLabel(painter, QRectF(QPointF(right - 38, y - 6), QPointF(right, y)),
                      QStringLiteral("-%1").arg(mark), kViewText);
        }
    }
    drawLabel(painter, QRectF(QPointF(right - 38, g.y0 - 6), QPointF(right, g.y0)),
              QStringLiteral("-\u221E"), kInfinityLabel);

    painter.setPen(kUnlitSegment);
    for (double y = g.y0; y >= PeakMeterGeometry::kTop; y -= PeakMeterGeometry::kSegmentPitch) {
        painter.drawLine(segment(kOutputColumn, right, y));
        painter.drawLine(segment(kInputColumn, right, y));
    }
}

void drawPeakMeterLevels(QPainter& painter, QSize size, const PeakMeterLevels& levels,
                         const PeakMeterColors& colors, PeakMeterBuffers& buffers) {
    const PeakMeterGeometry g(size);
    for (QList<QLineF>& zone : buffers.zones) {
        zone.resize(0);
    }
    addMeter(g, kOutputColumn, size.width(), levels.outputLevel, levels.outputHold, buffers);
    addMeter(g, kInputColumn, size.width(), levels.inputLevel, levels.inputHold, buffers);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor* zoneColors[] = {&colors.norm, &colors.mid, &colors.max};
    for (int zone = 0; zone < 3; ++zone) {
        if (!buffers.zones[zone].isEmpty()) {
            painter.setPen(*zoneColors[zone]);
            painter.drawLines(buffers.zones[zone]);
        }
    }
}

void drawPeakMeter(QPainter& painter, QSize size, const QImage& icons,
                   const PeakMeterLevels& levels, const PeakMeterColors& colors,
                   PeakMeterBuffers& buffers) {
    drawPeakMeterScale(painter, size, icons);
    drawPeakMeterLevels(painter, size, levels, colors, buffers);
}

}  // namespace qm::audio::views
