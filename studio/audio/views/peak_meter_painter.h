#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QSize>

#include "studio/audio/peak_meter_levels.h"

class QPainter;

// The peak meter window's picture on a client area of `size` (left = top = 0): the microphone
// and speaker icons above the slider area, two segment meters at the right edge (input left,
// output right) with the dB scale between them, each lit up to its level in three colour zones
// and with one segment at its hold.
namespace qm::audio::views {

struct PeakMeterColors {
    QColor norm;  // ColorPeakNorm: up to -10 dB
    QColor mid;   // ColorPeakMid: up to -5 dB
    QColor max;   // ColorPeakMax: above
};

// Where things stand: the meters run from y0 (bottom segment) up to y = 10, above the 230
// pixels of the slider area and 40 pixels of icons.
struct PeakMeterGeometry {
    explicit PeakMeterGeometry(QSize size);
    // The row of a height in percent of the meter.
    double yOf(double percent) const { return y0 - percent * meterHeight / 100.0; }

    static constexpr double kSliderArea = 230.0;
    static constexpr double kTop = 10.0;
    static constexpr int kSegmentPitch = 2;

    double y0;           // bottom segment
    double meterHeight;  // y0 - 10; 0 or less leaves only the bottom segment
    double yMid;         // the row of DbToPercent(-10)
    double yMax;         // the row of DbToPercent(-5)
};

// Working memory of the lit segments, kept between frames.
struct PeakMeterBuffers {
    QList<QLineF> zones[3];
};

// Background, icons (a 64 x 32 image: microphone left, speaker right), scale labels and the
// unlit segments.
void drawPeakMeterScale(QPainter& painter, QSize size, const QImage& icons);

// The lit segments and the hold segment of both meters.
void drawPeakMeterLevels(QPainter& painter, QSize size, const PeakMeterLevels& levels,
                         const PeakMeterColors& colors, PeakMeterBuffers& buffers);

void drawPeakMeter(QPainter& painter, QSize size, const QImage& icons,
                   const PeakMeterLevels& levels, const PeakMeterColors& colors,
                   PeakMeterBuffers& buffers);

}  // namespace qm::audio::views
