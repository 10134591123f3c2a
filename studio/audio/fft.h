#pragma once

#include <span>

#include "studio/audio/analysis_sizes.h"

// The 4096-point transform of the analysis and the two ways its output becomes a spectrum.
//
// ComputeFft is an iterative radix-2 decimation-in-time transform without scaling whose twiddle
// factors come from the three-term recurrence w(k) = 2 cos(d) w(k-1) - w(k-2), d = 2 pi / block,
// started at angles -2d and -d. Its kernel is therefore e^(+2 pi i n b / N): for the real input
// of the analysis that is the complex conjugate of the textbook forward transform, with the same
// magnitudes. Inputs are expected finite (the capture hand-off guarantees it).
//
// Every buffer holds kFftSize values. A missing buffer (null or of another size), or outputs that
// overlap each other or the input, throws std::invalid_argument with the text "Invalid argument".
namespace qm::audio {

void ComputeFft(std::span<const double> input, std::span<double> real, std::span<double> imaginary);

// power[b] = real[b]^2 + imaginary[b]^2.
void ComputePower(std::span<const double> real, std::span<const double> imaginary,
                  std::span<double> power);

// amplitude[b] = 2 |X(b)| / N: the amplitude transform that stands in for the power spectrum when
// the `Test` setting is 1.
void ComputeAmplitude(std::span<const double> real, std::span<const double> imaginary,
                      std::span<double> amplitude);

}  // namespace qm::audio
