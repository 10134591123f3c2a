#include "studio/audio/analysis_engine.h"

#include <algorithm>

#include "studio/audio/fft.h"
#include "studio/audio/waveform_peaks.h"

namespace qm::audio {

AnalysisEngine::AnalysisEngine()
    : block_(kBlockSize, 0.0),
      peaks_(kBlockSize, 0.0),
      fftInput_(kFftSize, 0.0),
      real_(kFftSize, 0.0),
      imaginary_(kFftSize, 0.0) {}

bool AnalysisEngine::step(AnalysisState& state, const AnalysisSettings& settings) {
    const std::span<double, kBlockSize> block(block_.data(), kBlockSize);
    const std::optional<std::uint64_t> generation = state.takeBlock(block);
    if (!generation) {
        return false;
    }
    if (*generation != generation_) {
        clearHistories();
        generation_ = *generation;
    }

    samples_.push(block);
    const std::size_t columns =
        computeBlockPeaks(block, settings.WaveScale, std::span<double, kBlockSize>(peaks_));
    window_.copyWindowed(settings.WindowFunc, samples_.newest(),
                         std::span<double, kFftSize>(fftInput_));
    transform(settings.Test);
    views_.commit();
    const SpectrumViews::Outcome view = views_.advance(settings.SpectrumView);

    state.publish(*generation,
                  [&](std::span<double, kFftSize> displayed, WaveformHistory& waveform) {
                      waveform.push(std::span<const double>(peaks_.data(), columns));
                      if (view.changes) {
                          std::copy(view.values.begin(), view.values.end(), displayed.begin());
                      }
                  });
    return true;
}

void AnalysisEngine::transform(int test) {
    const std::span<double, kFftSize> spectrum = views_.nextSlot();
    switch (test) {
        case 0:
            ComputeFft(fftInput_, real_, imaginary_);
            ComputePower(real_, imaginary_, spectrum);
            break;
        case 1:
            ComputeFft(fftInput_, real_, imaginary_);
            ComputeAmplitude(real_, imaginary_, spectrum);
            break;
        default:
            // No transform selected: the spectrum stays what it was.
            views_.repeatNewest();
            break;
    }
}

void AnalysisEngine::clearHistories() {
    samples_.clear();
    views_.clear();
}

}  // namespace qm::audio
