#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "studio/audio/analysis_sizes.h"

// The waveform columns of one capture block and the history the waveform view draws.
//
// A column is the largest sample of `WaveScale` consecutive samples, never below 0: a running
// maximum starts at 0.0 and takes a sample only when the sample is greater, so negative
// half-waves give 0 (no column). A block gives 480 / WaveScale columns; samples left over at the
// end of the block are dropped.
namespace qm::audio {

// The `WaveScale` in use: a stored value outside 1..480 would divide by zero or give no columns
// at all, so it counts as the default 480.
int effectiveWaveScale(int waveScale);

// Writes the block's columns to the front of `peaks` in capture order; returns their number.
std::size_t computeBlockPeaks(std::span<const double, kBlockSize> block, int waveScale,
                              std::span<double, kBlockSize> peaks);

// The last kWaveformColumns column values, newest group first; within a group the values keep
// capture order (so a group is drawn mirrored in time while the groups move left). Each value
// is stored twice, kWaveformColumns apart, so the history reads as one contiguous run without
// moving 4800 values every 10 ms.
class WaveformHistory {
  public:
    WaveformHistory();

    // Puts `group` in front of the history; the oldest group.size() values fall off the end.
    void push(std::span<const double> group);

    // Entry c is the column drawn c pixels left of the newest one.
    std::span<const double, kWaveformColumns> newestFirst() const;

    void clear();

  private:
    std::vector<double> values_;  // 2 * kWaveformColumns
    std::size_t head_ = 0;        // index of entry 0, in [0, kWaveformColumns)
};

}  // namespace qm::audio
