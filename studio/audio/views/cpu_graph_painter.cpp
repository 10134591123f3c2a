#include "studio/audio/views/cpu_graph_painter.h"

#include <QPainter>

namespace qm::audio::views {
namespace {

const QColor kBackground(30, 30, 30);
const QColor kSystemColor(192, 192, 192);
const QColor kOwnColor(255, 128, 40);
const QColor kGridColor(54, 31, 34);

constexpr int kDigitWidth = 7;
constexpr int kDigitHeight = 14;

// The newest entry (the last) stands at the right edge, each older one `step` pixels further
// left. Bars rise from the bottom for every entry (an entry without data reaches one pixel
// below it); lines join the entries that have data.
void addSeries(const std::vector<int>& history, int drawMode, int right, int bottom, int step,
               CpuGraphBuffers& buffers) {
    buffers.lines.resize(0);
    buffers.points.resize(0);
    int x = right;
    for (auto it = history.rbegin(); it != history.rend(); ++it, x -= step) {
        const int value = *it;
        if (drawMode == 0) {
            buffers.lines.append(QLineF(x, bottom, x, bottom - value));
        } else if (value >= 0) {
            buffers.points.append(QPointF(x, bottom - value));
        }
    }
}

void drawSeries(QPainter& painter, const std::vector<int>& history, const QColor& color,
                int drawMode, int right, int bottom, int step, CpuGraphBuffers& buffers) {
    addSeries(history, drawMode, right, bottom, step, buffers);
    painter.setPen(color);
    if (drawMode == 0) {
        painter.drawLines(buffers.lines);
    } else if (buffers.points.size() > 1) {
        painter.drawPolyline(buffers.points.constData(), static_cast<int>(buffers.points.size()));
    }
}

// Up to three digits of a load 0 .. 100 at `x`, `x` + 9 and `x` + 20: the hundreds only for
// 100, the tens only when there are any.
void drawLoad(QPainter& painter, int x, int load, const QImage& strip) {
    if (load == 100) {
        drawDigit(painter, QPoint(x, 0), strip, 1);
    }
    if (load / 10 != 0) {
        drawDigit(painter, QPoint(x + 9, 0), strip, (load / 10) % 10);
    }
    drawDigit(painter, QPoint(x + 20, 0), strip, load % 10);
}

}  // namespace

void drawDigit(QPainter& painter, const QPoint& at, const QImage& strip, int digit) {
    painter.drawImage(QRect(at, QSize(kDigitWidth, kDigitHeight)), strip,
                      QRect(0, kDigitHeight * digit, kDigitWidth, kDigitHeight));
}

void drawCpuGraph(QPainter& painter, QSize size, const CpuLoadGraph& graph,
                  const CpuGraphImages& images, CpuGraphBuffers& buffers) {
    // The rightmost column and the row under the last one: a bar of h pixels fills h rows.
    const int right = size.width() - 1;
    const int bottom = size.height();
    const int step = graph.step();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), kBackground);

    painter.drawImage(QRect(0, 0, 27, 25), images.caption, QRect(0, 0, 27, 25));
    painter.drawImage(QRect(30, 0, 27, 25), images.caption, QRect(28, 0, 27, 25));

    painter.setPen(kGridColor);
    const int gridLines = static_cast<int>(graph.systemHistory().size());
    for (int i = 0; i < gridLines; ++i) {
        const int x = right - i * step;
        painter.drawLine(x, 0, x, bottom);
    }

    drawSeries(painter, graph.systemHistory(), kSystemColor, graph.drawMode(), right, bottom, step,
               buffers);
    drawSeries(painter, graph.ownHistory(), kOwnColor, graph.drawMode(), right, bottom, step,
               buffers);

    drawLoad(painter, 0, graph.systemLoad(), images.systemDigits);
    drawLoad(painter, 30, graph.ownLoad(), images.ownDigits);
}

}  // namespace qm::audio::views
