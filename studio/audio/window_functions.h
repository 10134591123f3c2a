#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "studio/audio/analysis_sizes.h"

// The window functions that shape the transform input. A window is chosen by its index, the
// `WindowFunc` setting: 0 "Rectangular", 1 "Bartlett", 2 "Hamming", 3 "Hanning", 4 "Blackman",
// 5 "Blackman-Harris", 6 "Welch", 7..9 "Gaussian" with a = 2.5, 3.5, 4.5. An index outside
// 0..9 leaves the input unchanged, like the rectangular window.
namespace qm::audio {

inline constexpr int kWindowFunctionCount = 10;

// The name of a window as the window combo lists it; empty for an unknown index.
std::string_view windowFunctionName(int index);

// w(n) of window `index` for n = 0 .. kFftSize - 1; 1 for the rectangular and unknown windows.
double windowCoefficient(int index, std::size_t n);

// Multiplies the buffer in place by window `index`, computing each coefficient afresh.
void ApplyWindow(int index, std::span<double, kFftSize> buffer);

// The coefficients of the last window used, kept so that the analysis step multiplies instead of
// evaluating cosines and exponentials 4096 times every 10 ms. Gives exactly the values of
// ApplyWindow. Allocates once, at construction.
class WindowTable {
  public:
    WindowTable();

    // out[n] = in[n] * w(n); a plain copy for the rectangular and unknown windows.
    void copyWindowed(int index, std::span<const double, kFftSize> in,
                      std::span<double, kFftSize> out);

  private:
    void select(int index);

    int index_ = -1;
    std::vector<double> coefficients_;
};

}  // namespace qm::audio
