#pragma once

#include <atomic>

// The view settings the analysis step reads. The studio changes them on its main thread from the
// ribbon; the analysis thread takes a snapshot at every step, so a change takes effect at the
// next step.
namespace qm::audio {

struct AnalysisSettings {
    int WindowFunc = 4;    // window function 0..9
    int SpectrumView = 2;  // view flags: 1 real time, 2 middle, 4 min, 8 max
    int WaveScale = 480;   // samples per waveform column
    int Test = 0;          // 0 power spectrum, 1 amplitude transform, else no new spectrum
};

class SharedAnalysisSettings {
  public:
    SharedAnalysisSettings() = default;
    explicit SharedAnalysisSettings(const AnalysisSettings& initial) { store(initial); }

    void store(const AnalysisSettings& s) {
        windowFunc_.store(s.WindowFunc, std::memory_order_relaxed);
        spectrumView_.store(s.SpectrumView, std::memory_order_relaxed);
        waveScale_.store(s.WaveScale, std::memory_order_relaxed);
        test_.store(s.Test, std::memory_order_relaxed);
    }
    void setSpectrumView(int v) { spectrumView_.store(v, std::memory_order_relaxed); }
    void setWaveScale(int v) { waveScale_.store(v, std::memory_order_relaxed); }

    AnalysisSettings snapshot() const {
        return {windowFunc_.load(std::memory_order_relaxed),
                spectrumView_.load(std::memory_order_relaxed),
                waveScale_.load(std::memory_order_relaxed), test_.load(std::memory_order_relaxed)};
    }

  private:
    std::atomic<int> windowFunc_{AnalysisSettings{}.WindowFunc};
    std::atomic<int> spectrumView_{AnalysisSettings{}.SpectrumView};
    std::atomic<int> waveScale_{AnalysisSettings{}.WaveScale};
    std::atomic<int> test_{AnalysisSettings{}.Test};
};

}  // namespace qm::audio
