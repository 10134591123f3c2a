#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "studio/audio/analysis_sizes.h"

// The history of spectra and the four views the spectrum window can show, chosen by the
// `SpectrumView` flags: 1 real time, 2 middle, 4 min, 8 max (the lowest set bit of 1, 2, 4, 8 in
// that order wins). The real-time view shows every new spectrum. The other views refresh once
// every eight steps from the eight newest spectra and hold their values in between; the middle
// view is half the spread between the largest and the smallest value of a bin, not their mean.
namespace qm::audio {

inline constexpr int kViewRealTime = 1;
inline constexpr int kViewMiddle = 2;
inline constexpr int kViewMin = 4;
inline constexpr int kViewMax = 8;

// Start values of the view's maximum and minimum search.
inline constexpr double kViewMaxStart = 2.0e-308;
inline constexpr double kViewMinStart = 1.0e308;

class SpectrumViews {
  public:
    SpectrumViews();

    // Where this step's spectrum goes; becomes the newest spectrum at commit().
    std::span<double, kFftSize> nextSlot();
    // Fills the next slot with a copy of the newest spectrum (a step without a new spectrum).
    void repeatNewest();
    void commit();

    // The newest spectrum, and the one `age` steps older (age < kSpectrumHistoryDepth).
    std::span<const double, kFftSize> spectrum(std::size_t age = 0) const;

    // What the displayed spectrum becomes after this step: `values` when `changes` is set,
    // otherwise it keeps what it shows. Advances the view counter of the non-real-time views.
    struct Outcome {
        bool changes = false;
        std::span<const double, kFftSize> values;
    };
    Outcome advance(int spectrumView);

    int viewCounter() const { return counter_; }

    void clear();

  private:
    void refresh(int spectrumView);

    std::vector<double> history_;  // kSpectrumHistoryDepth slots of kFftSize
    std::size_t newest_ = 0;       // slot of the newest spectrum
    int counter_ = 0;              // steps since the last refresh, 0..7
    std::vector<double> maximum_;
    std::vector<double> minimum_;
    std::vector<double> view_;  // the last refreshed view
};

}  // namespace qm::audio
