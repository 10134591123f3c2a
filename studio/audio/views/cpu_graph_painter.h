#pragma once

#include <QImage>
#include <QLineF>
#include <QList>
#include <QSize>

#include "studio/audio/cpu_load_graph.h"

class QPainter;

// The CPU load graph's picture on a client area of `size` (left = top = 0): the caption, a grid
// line per history entry, the history of the machine's load and of the studio's own load (bars
// or lines, newest at the right edge) and the two current loads as digits.
namespace qm::audio::views {

struct CpuGraphImages {
    QImage caption;       // 54 x 25: left half for the machine's load, right half for the own
    QImage systemDigits;  // 7 x 140: digit d in rows 14 d .. 14 d + 13
    QImage ownDigits;
};

// Working memory of the series, kept between frames.
struct CpuGraphBuffers {
    QList<QLineF> lines;
    QList<QPointF> points;
};

void drawCpuGraph(QPainter& painter, QSize size, const CpuLoadGraph& graph,
                  const CpuGraphImages& images, CpuGraphBuffers& buffers);

// Copies digit `digit` (0 .. 9) of a 7 x 140 strip to the 7 x 14 box at `at`.
void drawDigit(QPainter& painter, const QPoint& at, const QImage& strip, int digit);

}  // namespace qm::audio::views
