#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QSize>
#include <span>

#include "studio/audio/analysis_sizes.h"

class QPainter;

// The waveform window's picture, drawn from the waveform history, the scale settings and the
// waveform colour onto a client area of `size` (left = top = 0): a centre line, the level grid
// with its labels in the 25 pixels at the right, and one column per history entry, the newest
// at the right end of the plot, mirrored above and below the centre line.
namespace qm::audio::views {

struct WaveformLook {
    int mode = 0;     // WaveMode: 0 logarithmic (dB), 1 linear
    int scale = 480;  // WaveScale: samples per column; below 6 the columns become a zig-zag
};

// Working memory of the zig-zag, kept between frames so that a frame allocates nothing.
struct WaveformBuffers {
    QList<QLineF> lines;
};

// Half-height in pixels of a column of value `v` (the largest sample of its group, 0 .. 1) over
// a centre line at `mid`. Logarithmic: DbToPercent of the level in dB, so a full-scale sample
// reaches the top; a value above full scale counts as full scale. Linear: v × mid.
double waveColumnHeight(double v, int mode, double mid);

// Background, centre line, grid lines and labels.
void drawWaveformScale(QPainter& painter, QSize size, const WaveformLook& look,
                       const QColor& waveColor);

// The columns of `history` (newest first).
void drawWaveformColumns(QPainter& painter, QSize size,
                         std::span<const double, kWaveformColumns> history,
                         const WaveformLook& look, const QColor& waveColor,
                         WaveformBuffers& buffers);

// The whole picture: the scale, then the columns.
void drawWaveform(QPainter& painter, QSize size, std::span<const double, kWaveformColumns> history,
                  const WaveformLook& look, const QColor& waveColor, WaveformBuffers& buffers);

}  // namespace qm::audio::views
