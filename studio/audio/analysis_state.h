#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "studio/audio/analysis_sizes.h"
#include "studio/audio/waveform_peaks.h"

// What the capture, analysis and drawing threads share: the newest capture block with its
// data-ready flag, the displayed spectrum and the waveform history, behind one lock. The
// analysis keeps its working arrays (sample and spectrum histories, transform buffers) to itself
// and takes the lock only to take a block and to publish a result, so drawing and capture never
// wait for a transform. Every array is sized once, at construction.
namespace qm::audio {

class AnalysisState {
  public:
    AnalysisState();
    AnalysisState(const AnalysisState&) = delete;
    AnalysisState& operator=(const AnalysisState&) = delete;

    // Capture side: hands over one block of the left channel and marks it ready. A sample that
    // is not a finite number (from a broken driver) becomes 0, so that it cannot poison the
    // spectra of the next ten blocks and the views built from them.
    void submitBlock(std::span<const float, kBlockSize> samples);

    // Clears the shared arrays now and the analysis' own histories at its next step, and marks
    // the (zeroed) block ready so that the analysis runs once more: the views then draw empty.
    void ResetAnalysis();

    bool dataReady() const;

    // Drawing side: runs `read` with the array while holding the lock; keep it short.
    template <typename Read>
    void readSpectrum(Read&& read) const {
        std::lock_guard guard(mutex_);
        read(std::span<const double, kFftSize>(displayed_.data(), kFftSize));
    }
    template <typename Read>
    void readWaveform(Read&& read) const {
        std::lock_guard guard(mutex_);
        read(waveform_.newestFirst());
    }

    // Analysis side. takeBlock copies a ready block and clears the flag; it returns the reset
    // generation the block belongs to, or nothing when no block was ready. publish runs `write`
    // on the displayed spectrum and the waveform history under the lock, unless a reset has
    // happened since that generation's block was taken (the result is then stale and dropped).
    std::optional<std::uint64_t> takeBlock(std::span<double, kBlockSize> out);
    template <typename Write>
    bool publish(std::uint64_t generation, Write&& write) {
        std::lock_guard guard(mutex_);
        if (generation != generation_) {
            return false;
        }
        write(std::span<double, kFftSize>(displayed_.data(), kFftSize), waveform_);
        return true;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<double> captureBlock_;
    bool dataReady_ = false;
    std::uint64_t generation_ = 0;  // counts resets
    std::vector<double> displayed_;
    WaveformHistory waveform_;
};

}  // namespace qm::audio
