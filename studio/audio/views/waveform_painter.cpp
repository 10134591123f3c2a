#include "studio/audio/views/waveform_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "studio/audio/level_scale.h"
#include "studio/audio/views/view_style.h"
#include "studio/audio/waveform_peaks.h"

namespace qm::audio::views {
namespace {

constexpr int kLabelWidth = 25;  // right of the plot
constexpr int kZigZagBelow = 6;  // WaveScale below this draws a zig-zag

QPen linePen(const QColor& color) {
    QPen pen(color);
    pen.setWidth(1);
    return pen;
}

void drawLevelLine(QPainter& painter, double y, double plotRight) {
    painter.setPen(linePen(kViewGrid));
    painter.drawLine(QPointF(0, y), QPointF(plotRight, y));
}

void drawLogarithmicScale(QPainter& painter, int right, double mid, double plotRight) {
    for (int level = 10; level <= 50; level += 10) {
        const double h = DbToPercent(static_cast<float>(-level)) * mid / 100.0;
        drawLevelLine(painter, mid - h, plotRight);
        drawLevelLine(painter, mid + h, plotRight);
        const QString text = QStringLiteral("-%1").arg(level);
        for (const double y : {mid - h, mid + h}) {
            drawLabel(painter, QRectF(QPointF(right - 23, y - 6), QPointF(right, y)), text,
                      kViewText);
        }
    }
}

void drawLinearScale(QPainter& painter, int right, double mid, double plotRight) {
    for (const double level : {0.25, 0.5, 0.75}) {
        const double h = level * mid;
        const QString text = QString::number(level, 'f', 2);
        for (const double y : {mid - h, mid + h}) {
            drawLevelLine(painter, y, plotRight);
            drawLabel(painter, QRectF(QPointF(right - 23, y - 5), QPointF(right, y)), text,
                      kViewText);
        }
    }
    drawLevelLine(painter, 0, plotRight);
    drawLevelLine(painter, 2 * mid, plotRight);
    const QString full = QStringLiteral("1.0");
    drawLabel(painter, QRectF(QPointF(right - 23, -1), QPointF(right, 0)), full, kViewText);
    drawLabel(painter, QRectF(QPointF(right - 23, 2 * mid - 11), QPointF(right, 2 * mid)), full,
              kViewText);
}

}  // namespace

double waveColumnHeight(double v, int mode, double mid) {
    if (mode == 1) {
        return v * mid;
    }
    const float d = 20.0F * std::log10(static_cast<float>(std::min(v, 1.0)));
    return DbToPercent(d) * mid / 100.0;
}

void drawWaveformScale(QPainter& painter, QSize size, const WaveformLook& look,
                       const QColor& waveColor) {
    const int right = size.width();
    const double mid = size.height() * 0.5;
    const double plotRight = right - kLabelWidth;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), kViewBackground);
    painter.setFont(labelFont());

    painter.setPen(linePen(waveColor));
    painter.drawLine(QPointF(0, mid), QPointF(plotRight, mid));
    const QString centre = look.mode == 1 ? QStringLiteral("0.0") : QStringLiteral("-\u221E");
    drawLabel(painter, QRectF(QPointF(right - 22, mid - 6), QPointF(right, mid)), centre,
              waveColor);
    if (look.mode == 1) {
        drawLinearScale(painter, right, mid, plotRight);
    } else {
        drawLogarithmicScale(painter, right, mid, plotRight);
    }
}

void drawWaveformColumns(QPainter& painter, QSize size,
                         std::span<const double, kWaveformColumns> history,
                         const WaveformLook& look, const QColor& waveColor,
                         WaveformBuffers& buffers) {
    const double mid = size.height() * 0.5;
    const int plotRight = size.width() - kLabelWidth;
    const int columns = std::min(size.width() - kLabelWidth, static_cast<int>(kWaveformColumns));
    QList<QLineF>& lines = buffers.lines;
    lines.resize(0);
    if (columns <= 0) {
        return;
    }
    const auto height = [&](double v) { return waveColumnHeight(v, look.mode, mid); };
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (effectiveWaveScale(look.scale) >= kZigZagBelow) {
        // A column is the one-pixel line from mid - h to mid + h - 1, both rows included; filled
        // as a rectangle, which costs a third of a line.
        for (int c = 0; c < columns; ++c) {
            const double v = history[static_cast<std::size_t>(c)];
            if (v != 0.0) {
                const double h = height(v);
                const int top = qRound(mid - h);
                const int bottom = qRound(mid + h - 1);
                painter.fillRect(
                    QRect(plotRight - c, std::min(top, bottom), 1, std::abs(bottom - top) + 1),
                    waveColor);
            }
        }
        return;
    }
    double previous = history[0] != 0.0 ? height(history[0]) : 0.0;
    for (int c = 1; c < columns; ++c) {
        const double v = history[static_cast<std::size_t>(c)];
        const double x = plotRight - c;
        if (v == 0.0) {
            lines.append(QLineF(x - 1, mid - previous, x, mid - 1));
            previous = 0.0;
        } else {
            const double h = height(v);
            lines.append(QLineF(x - 1, mid - previous, x, mid + h - 1));
            previous = h;
        }
    }
    painter.setPen(linePen(waveColor));
    painter.drawLines(lines);
}

void drawWaveform(QPainter& painter, QSize size, std::span<const double, kWaveformColumns> history,
                  const WaveformLook& look, const QColor& waveColor, WaveformBuffers& buffers) {
    drawWaveformScale(painter, size, look, waveColor);
    drawWaveformColumns(painter, size, history, look, waveColor, buffers);
}

}  // namespace qm::audio::views
