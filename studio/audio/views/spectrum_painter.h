#pragma once

#include <QColor>
#include <QPolygonF>
#include <QSize>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "studio/audio/analysis_sizes.h"

class QPainter;

// The spectrum window's picture, drawn from the displayed spectrum, the view settings and the
// colours onto a client area of `size` (left = top = 0): a logarithmic frequency grid from 10 Hz
// to 20 kHz with its labels, the dB labels down to the lower bound on both sides, the plot frame
// with a line every 10 dB, the frequency markers, and the curve with its translucent fill.
namespace qm::audio::views {

struct SpectrumLook {
    int mode = 1;     // SpectrumMode: 0 line, 1 bar (a staircase)
    int markers = 0;  // SpectrumLabel: 1 LPF, 2 HPF 1, 4 HPF 2, 8 EQ
    int bound = 200;  // SpectrumBound: the lowest dB label
};

struct SpectrumColors {
    QColor curve;         // ColorSpectrum
    int fillPercent = 8;  // SpectrumFill: opacity of the fill under the curve
    QColor lpf;
    QColor hpf1;
    QColor hpf2;
    QColor eq;
};

// One row of markers: the SpectrumLabel bit that shows it and its frequencies in Hz (the values
// the microphone's filter or equaliser setting can take).
struct MarkerRow {
    int bit;
    std::span<const double> frequencies;
};
// The rows in drawing order: LPF, HPF 1, HPF 2, EQ.
std::span<const MarkerRow> markerRows();

// The selected microphone's own filter and equaliser settings, marked over the rows: the
// cut-off of each filter that is on, the centre and width of each equaliser band that is on.
struct SettingMark {
    int bit = 0;             // the SpectrumLabel bit of its row
    double frequency = 0.0;  // Hz
    double width = 0.0;      // Hz: an equaliser band's width; 0 for a filter's cut-off
    const char* caption = "";

    // Captions compare by their text: equal literals of two files need not share an address.
    friend bool operator==(const SettingMark& a, const SettingMark& b) {
        return a.bit == b.bit && a.frequency == b.frequency && a.width == b.width &&
               std::string_view(a.caption) == std::string_view(b.caption);
    }
};

// Three filters and five bands at the most; no allocation.
struct SettingMarks {
    std::array<SettingMark, 8> marks{};
    std::size_t count = 0;

    void add(const SettingMark& mark) {
        if (count < marks.size()) {
            marks[count++] = mark;
        }
    }
    const SettingMark* begin() const { return marks.data(); }
    const SettingMark* end() const { return marks.data() + count; }
    bool operator==(const SettingMarks&) const = default;
};

// Working memory of the curve, kept by the window between frames so that a frame allocates
// nothing once the polygons have grown to the window's width.
struct SpectrumCurveBuffers {
    QPolygonF outline;
    QPolygonF fill;
};

// Background, grid, labels, frame, dB lines and markers: everything that does not move. Over
// the rows of markers, the selected microphone's own settings of each row shown (`marks`): a
// line three pixels wide at each frequency with its caption at the top of the plot, and the
// width of an equaliser band shaded.
void drawSpectrumScale(QPainter& painter, QSize size, const SpectrumLook& look,
                       const SpectrumColors& colors, const SettingMarks& marks = {});

// The curve of `spectrum` and its fill, one point per pixel column whose transform bin differs
// from the column before. Nothing when the window is too narrow to hold a column.
void drawSpectrumCurve(QPainter& painter, QSize size, std::span<const double, kFftSize> spectrum,
                       const SpectrumLook& look, const SpectrumColors& colors,
                       SpectrumCurveBuffers& buffers);

// The whole picture: the scale, then the curve.
void drawSpectrum(QPainter& painter, QSize size, std::span<const double, kFftSize> spectrum,
                  const SpectrumLook& look, const SpectrumColors& colors,
                  SpectrumCurveBuffers& buffers, const SettingMarks& marks = {});

}  // namespace qm::audio::views
