#pragma once

#include <QColor>
#include <QImage>

#include "studio/audio/views/clock_painter.h"
#include "studio/audio/views/cpu_graph_painter.h"

// The small images of the monitoring views, drawn once in code at the sizes the views expect:
// seven-segment digit strips, the unlit digit panels of the clock, its frame tiles, the caption
// of the CPU graph and the microphone and speaker icons of the peak meter.
namespace qm::audio::views {

// 7 x 140: the digits 0 .. 9 in seven segments, digit d in rows 14 d .. 14 d + 13, on a
// transparent ground.
QImage digitStrip(const QColor& lit);

// 67 x 14: six unlit digits in pairs (at x = 0, 10, 25, 35, 50, 60) with lit separators between
// the pairs, dots for a date, colons for a time.
enum class Separator { Dots, Colons };
QImage digitPanel(Separator separator);

// 54 x 25: "CPU" under the digits, twice: columns 0 .. 26 for the machine's load, 28 .. 53 for
// the studio's own.
QImage cpuCaption();

// 64 x 32: a microphone in the left half, a speaker in the right.
QImage meterIcons();

ClockImages clockImages();
CpuGraphImages cpuGraphImages();

}  // namespace qm::audio::views
