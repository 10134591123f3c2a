#pragma once

#include <cstddef>

#include "studio/audio/fft_plan.h"

// The butterfly passes of the transform, on split real and imaginary arrays of kFftSize values.
// Every pass computes each butterfly as t = w * X[k]; X[k] = X[j] - t; X[j] = X[j] + t with
// the plan's twiddles; passes differ only in how many butterflies they keep in registers at once,
// so all of them give bit-identical results. Internal to the transform.
namespace qm::audio {

// Bit-reversed load of a real input fused with the first stage; sets the imaginary part to +0.
void loadAndFirstStage(const FftPlan& plan, const double* input, double* re, double* im);

// One stage whose butterflies are `half` apart.
void runStage(const FftPlan& plan, std::size_t half, double* re, double* im);

// The stages `half` and 2 * half in one pass; `half` is a power of two of at least 4.
void runStagePair(const FftPlan& plan, std::size_t half, double* re, double* im);

}  // namespace qm::audio
