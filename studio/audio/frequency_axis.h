#pragma once

#include <cstddef>
#include <optional>

// Geometry of the spectrum window: a logarithmic frequency axis from 10 Hz across the client
// width less 30 pixels on each side, and a dB axis whose top line stands for a bin level of
// 40 dB. Coordinates are client pixels (left = top = 0 in practice).
namespace qm::audio {

// Pixels of one decade: D = (right - 60) / (3 ln 3). The plot width right - 60 thus spans
// 3 ln 3 (about 3.2958) decades.
double decadeWidth(int right);

// Frequency at column x: 10 * 10^((x - 30) / D) for 0 <= x - 30 < 4 D, else 0. A window of
// 60 pixels or less has no plot, and every column gives 0.
double XToFreq(double x, int right);

// Column of frequency f: 30 + D log10(f / 10) for 10 <= f < 20 000, else 0.
double FreqToX(double f, int right);

// Transform bin of frequency f: (int)(f * 4096 / 48 000); none when that is 4096 or more, or
// when f is negative or not a number.
std::optional<std::size_t> binOfFrequency(double f);

// The SpectrumBound in use. The ribbon offers 20 to 200; a stored bound of 0 or less would divide
// by zero, and one in the millions would have the window draw millions of dB lines, so a bound
// outside 1 .. kMaxSpectrumBound counts as the default 200.
inline constexpr int kMaxSpectrumBound = 1000;
int effectiveSpectrumBound(int spectrumBound);

// Pixels per dB of the level axis: ((bottom - top) - 40) / effectiveSpectrumBound.
double pixelsPerDb(int top, int bottom, int spectrumBound);

// Row of a bin value P: 10 + (40 - 10 log10(P)) * pixelsPerDb, with P taken as a 32-bit float,
// and at most bottom - 30. An infinite or undefined level (P <= 0, NaN) lands on bottom - 30;
// a P beyond the float range counts as the largest float. The row is always finite.
double levelY(double power, double pixelsPerDb, int bottom);

}  // namespace qm::audio
