#include "studio/audio/power_views.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qm::audio {
namespace {
constexpr int kRefreshEvery = static_cast<int>(kViewSpan);
}

SpectrumViews::SpectrumViews()
    : history_(kSpectrumHistoryDepth * kFftSize, 0.0),
      maximum_(kFftSize, 0.0),
      minimum_(kFftSize, 0.0),
      view_(kFftSize, 0.0) {}

std::span<double, kFftSize> SpectrumViews::nextSlot() {
    const std::size_t slot = (newest_ + 1) % kSpectrumHistoryDepth;
    return std::span<double, kFftSize>(history_.data() + slot * kFftSize, kFftSize);
}

void SpectrumViews::repeatNewest() {
    const std::span<const double, kFftSize> current = spectrum();
    std::copy(current.begin(), current.end(), nextSlot().begin());
}

void SpectrumViews::commit() {
    newest_ = (newest_ + 1) % kSpectrumHistoryDepth;
}

std::span<const double, kFftSize> SpectrumViews::spectrum(std::size_t age) const {
    const std::size_t slot = (newest_ + kSpectrumHistoryDepth - age) % kSpectrumHistoryDepth;
    return std::span<const double, kFftSize>(history_.data() + slot * kFftSize, kFftSize);
}

SpectrumViews::Outcome SpectrumViews::advance(int spectrumView) {
    if ((spectrumView & kViewRealTime) != 0) {
        return {true, spectrum()};
    }
    if (counter_ < kRefreshEvery - 1) {
        ++counter_;
        return {false, spectrum()};
    }
    counter_ = 0;
    if ((spectrumView & (kViewMiddle | kViewMin | kViewMax)) == 0) {
        return {false, spectrum()};
    }
    refresh(spectrumView);
    return {true, std::span<const double, kFftSize>(view_.data(), kFftSize)};
}

void SpectrumViews::refresh(int spectrumView) {
    std::array<const double*, kViewSpan> spectra{};
    for (std::size_t age = 0; age < kViewSpan; ++age) {
        spectra[age] = spectrum(age).data();
    }
    double* maximum = maximum_.data();
    double* minimum = minimum_.data();
    // Two bins at a time, all eight spectra per pair of bins, so the extremes stay in registers.
    using Vec = double __attribute__((vector_size(2 * sizeof(double))));
    constexpr std::size_t kLanes = sizeof(Vec) / sizeof(double);
    for (std::size_t b = 0; b < kFftSize; b += kLanes) {
        Vec high = {kViewMaxStart, kViewMaxStart};
        Vec low = {kViewMinStart, kViewMinStart};
        for (const double* values : spectra) {
            // A value equal to the current extreme replaces it, as does any greater (smaller)
            // one; a value that compares false with everything (NaN) replaces nothing.
            Vec v;
            std::memcpy(&v, values + b, sizeof v);
            high = v >= high ? v : high;
            low = v <= low ? v : low;
        }
        std::memcpy(maximum + b, &high, sizeof high);
        std::memcpy(minimum + b, &low, sizeof low);
    }
    if ((spectrumView & kViewMiddle) != 0) {
        for (std::size_t b = 0; b < kFftSize; ++b) {
            view_[b] = (maximum[b] - minimum[b]) * 0.5;
        }
    } else if ((spectrumView & kViewMin) != 0) {
        std::copy(minimum_.begin(), minimum_.end(), view_.begin());
    } else {
        std::copy(maximum_.begin(), maximum_.end(), view_.begin());
    }
}

void SpectrumViews::clear() {
    std::fill(history_.begin(), history_.end(), 0.0);
    std::fill(view_.begin(), view_.end(), 0.0);
    newest_ = 0;
    counter_ = 0;
}

}  // namespace qm::audio
