#include "studio/audio/views/spectrum_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "studio/audio/frequency_axis.h"
#include "studio/audio/views/view_style.h"

namespace qm::audio::views {
namespace {

constexpr double kMargin = 30.0;  // plot edge: left of the first column, right of the last
constexpr double kPlotTop = 10.0;

constexpr double kLpfMarkers[] = {7000, 6500, 6000, 5500, 5000, 4500, 4000, 3500, 3000, 2500};
constexpr double kHpf1Markers[] = {14, 118, 236};
constexpr double kHpf2Markers[] = {50, 100, 150, 200, 250, 300, 350, 400, 450, 500};
constexpr double kEqMarkers[] = {500, 750, 1000, 1250, 1500, 1750, 2000, 2250, 2500};
constexpr MarkerRow kMarkerRows[] = {
    {1, kLpfMarkers}, {2, kHpf1Markers}, {4, kHpf2Markers}, {8, kEqMarkers}};

QColor markerColor(int bit, const SpectrumColors& colors) {
    switch (bit) {
        case 1:
            return colors.lpf;
        case 2:
            return colors.hpf1;
        case 4:
            return colors.hpf2;
        default:
            return colors.eq;
    }
}

QPen linePen(const QColor& color) {
    QPen pen(color);
    pen.setWidth(1);
    return pen;
}

// The label of a grid line: "%d" below 1 kHz, "%d K" from there.
QString frequencyLabel(int frequency) {
    return frequency < 1000 ? QString::number(frequency)
                            : QStringLiteral("%1 K").arg(frequency / 1000);
}

void drawFrequencyGrid(QPainter& painter, int right, int bottom, double& plotRight) {
    const double d = decadeWidth(right);
    // 10 .. 90, 100 .. 900, 1000 .. 9000, 10 000 and 20 000 Hz.
    for (int k = 1; k <= 4; ++k) {
        const int decade = static_cast<int>(std::pow(10, k));
        for (int n = 1; n <= 9; ++n) {
            if (k == 4 && n > 2) {
                break;
            }
            const double x = kMargin + d * (k - 1) + d * std::log10(n);
            painter.setPen(linePen(kViewGrid));
            painter.drawLine(QPointF(x, kPlotTop), QPointF(x, bottom - kMargin));
            drawLabel(painter, QRectF(QPointF(x - 2, bottom - 30), QPointF(x + 25, bottom - 20)),
                      frequencyLabel(n * decade), kViewText);
            plotRight = x;
        }
    }
}

void drawLevelLabels(QPainter& painter, int right, double dy, int bound) {
    for (int level = 0; level < bound; level += 10) {
        const QString text = level <= 0 ? QString::number(level) : QStringLiteral("-%1").arg(level);
        const double y = kPlotTop + level * dy;
        drawLabel(painter, QRectF(QPointF(2, y), QPointF(27, y + 20)), text, kViewText);
        drawLabel(painter, QRectF(QPointF(right - 26, y), QPointF(right - 1, y + 20)), text,
                  kViewText);
    }
}

// Each caption a line below the one before, so that captions of close marks stay readable.
constexpr double kCaptionHeight = 11.0;
constexpr int kCaptionLines = 4;
constexpr int kBandShadeAlpha = 48;

void drawSettingMarks(QPainter& painter, int right, int bottom, int shownRows,
                      const SettingMarks& marks, const SpectrumColors& colors) {
    int line = 0;
    for (const SettingMark& mark : marks) {
        if ((shownRows & mark.bit) == 0) {
            continue;
        }
        const QColor color = markerColor(mark.bit, colors);
        if (mark.width > 0) {
            QColor shade = color;
            shade.setAlpha(kBandShadeAlpha);
            const double low = FreqToX(mark.frequency - mark.width / 2, right);
            const double high = FreqToX(mark.frequency + mark.width / 2, right);
            painter.fillRect(QRectF(QPointF(low, kPlotTop), QPointF(high, bottom - kMargin)),
                             shade);
        }
        const double x = std::round(FreqToX(mark.frequency, right));
        painter.fillRect(QRectF(QPointF(x - 1, kPlotTop), QPointF(x + 2, bottom - kMargin)), color);
        const double top = kPlotTop + 2 + kCaptionHeight * (line++ % kCaptionLines);
        drawLabel(painter, QRectF(QPointF(x + 4, top), QPointF(x + 44, top + kCaptionHeight)),
                  QString::fromLatin1(mark.caption), color);
    }
}

}  // namespace

std::span<const MarkerRow> markerRows() {
    return kMarkerRows;
}

void drawSpectrumScale(QPainter& painter, QSize size, const SpectrumLook& look,
                       const SpectrumColors& colors, const SettingMarks& marks) {
    const int right = size.width();
    const int bottom = size.height();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), kViewBackground);
    painter.setFont(labelFont());

    double plotRight = kMargin;
    drawFrequencyGrid(painter, right, bottom, plotRight);

    const int bound = effectiveSpectrumBound(look.bound);
    const double dy = pixelsPerDb(0, bottom, bound);
    drawLevelLabels(painter, right, dy, bound);

    painter.setPen(linePen(kViewGrid));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(QPointF(kMargin, kPlotTop), QPointF(plotRight, bottom - kMargin)));
    for (int level = 10; level < bound; level += 10) {
        const double y = kPlotTop + level * dy;
        painter.drawLine(QPointF(kMargin, y), QPointF(plotRight, y));
    }

    for (const MarkerRow& row : kMarkerRows) {
        if ((look.markers & row.bit) == 0) {
            continue;
        }
        painter.setPen(linePen(markerColor(row.bit, colors)));
        for (const double f : row.frequencies) {
            const double x = FreqToX(f, right);
            painter.drawLine(QPointF(x, kPlotTop), QPointF(x, bottom - kMargin));
        }
    }
    drawSettingMarks(painter, right, bottom, look.markers, marks, colors);
}

void drawSpectrumCurve(QPainter& painter, QSize size, std::span<const double, kFftSize> spectrum,
                       const SpectrumLook& look, const SpectrumColors& colors,
                       SpectrumCurveBuffers& buffers) {
    const int right = size.width();
    const int bottom = size.height();
    const double dy = pixelsPerDb(0, bottom, look.bound);
    QPolygonF& outline = buffers.outline;
    QPolygonF& fill = buffers.fill;
    outline.resize(0);
    fill.resize(0);
    fill.append(QPointF(kMargin, bottom - kMargin));

    double previousX = kMargin;
    std::size_t previousBin = kFftSize;  // no bin yet
    for (int x = static_cast<int>(kMargin); x <= right - kMargin; ++x) {
        const auto bin = binOfFrequency(XToFreq(x, right));
        if (!bin || *bin == previousBin) {
            continue;
        }
        previousBin = *bin;
        const QPointF point(x, levelY(spectrum[*bin], dy, bottom));
        if (outline.isEmpty()) {
            outline.append(point);
            fill.append(point);
        }
        if (look.mode == 0) {
            outline.append(point);
            fill.append(point);
        } else {
            const QPointF step(previousX, point.y());
            outline.append(step);
            outline.append(point);
            fill.append(step);
            fill.append(point);
        }
        previousX = x;
    }
    if (outline.isEmpty()) {
        return;
    }
    fill.append(QPointF(right - kMargin, bottom - kMargin));

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(linePen(colors.curve));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(outline);
    QColor fillColor = colors.curve;
    fillColor.setAlphaF(std::clamp(colors.fillPercent, 0, 100) / 100.0F);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fillColor);
    painter.drawPolygon(fill);
}

void drawSpectrum(QPainter& painter, QSize size, std::span<const double, kFftSize> spectrum,
                  const SpectrumLook& look, const SpectrumColors& colors,
                  SpectrumCurveBuffers& buffers, const SettingMarks& marks) {
    drawSpectrumScale(painter, size, look, colors, marks);
    drawSpectrumCurve(painter, size, spectrum, look, colors, buffers);
}

}  // namespace qm::audio::views
