#pragma once

#include <cstdint>
#include <vector>

#include "studio/audio/analysis_settings.h"
#include "studio/audio/analysis_state.h"
#include "studio/audio/power_views.h"
#include "studio/audio/sample_history.h"
#include "studio/audio/window_functions.h"

// One analysis step: take the ready capture block, add it to the sample history, derive its
// waveform columns, window the newest 4096 samples, transform them, add the spectrum to the
// history, and publish the waveform columns and the displayed spectrum of the chosen view.
// The engine owns its working arrays (allocated once); it is used by one thread at a time.
namespace qm::audio {

class AnalysisEngine {
  public:
    AnalysisEngine();

    // Runs one step when a block is ready; false (and nothing changed) when none was.
    bool step(AnalysisState& state, const AnalysisSettings& settings);

    // The newest spectrum the step computed (power, or amplitude with Test = 1).
    std::span<const double, kFftSize> spectrum() const { return views_.spectrum(); }

  private:
    void transform(int test);
    void clearHistories();

    std::uint64_t generation_ = 0;  // reset generation of the histories
    std::vector<double> block_;
    std::vector<double> peaks_;
    std::vector<double> fftInput_;
    std::vector<double> real_;
    std::vector<double> imaginary_;
    SampleHistory samples_;
    WindowTable window_;
    SpectrumViews views_;
};

}  // namespace qm::audio
