#include "studio/audio/waveform_peaks.h"

#include <algorithm>

namespace qm::audio {
namespace {
constexpr int kDefaultWaveScale = static_cast<int>(kBlockSize);
}

int effectiveWaveScale(int waveScale) {
    return waveScale >= 1 && waveScale <= kDefaultWaveScale ? waveScale : kDefaultWaveScale;
}

std::size_t computeBlockPeaks(std::span<const double, kBlockSize> block, int waveScale,
                              std::span<double, kBlockSize> peaks) {
    const auto scale = static_cast<std::size_t>(effectiveWaveScale(waveScale));
    const std::size_t columns = kBlockSize / scale;
    for (std::size_t c = 0; c < columns; ++c) {
        double peak = 0.0;
        for (std::size_t i = c * scale; i < (c + 1) * scale; ++i) {
            if (block[i] > peak) {
                peak = block[i];
            }
        }
        peaks[c] = peak;
    }
    return columns;
}

WaveformHistory::WaveformHistory() : values_(2 * kWaveformColumns, 0.0) {}

void WaveformHistory::push(std::span<const double> group) {
    const std::size_t count = std::min(group.size(), kWaveformColumns);
    head_ = (head_ + kWaveformColumns - count) % kWaveformColumns;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t slot = (head_ + i) % kWaveformColumns;
        values_[slot] = group[i];
        values_[slot + kWaveformColumns] = group[i];
    }
}

std::span<const double, kWaveformColumns> WaveformHistory::newestFirst() const {
    return std::span<const double, kWaveformColumns>(values_.data() + head_, kWaveformColumns);
}

void WaveformHistory::clear() {
    std::fill(values_.begin(), values_.end(), 0.0);
    head_ = 0;
}

}  // namespace qm::audio
