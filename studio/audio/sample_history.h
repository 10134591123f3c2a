#pragma once

#include <span>
#include <vector>

#include "studio/audio/analysis_sizes.h"

// The last ten capture blocks in time order, kept so that the newest kFftSize samples can be read
// as one contiguous run without moving the history every 10 ms: each sample is stored twice,
// kSampleHistorySize apart, and a new block overwrites the oldest slot.
namespace qm::audio {

class SampleHistory {
  public:
    SampleHistory();

    void push(std::span<const double, kBlockSize> block);

    // The newest kFftSize samples, oldest first; valid until the next push or clear.
    std::span<const double, kFftSize> newest() const;

    void clear();

  private:
    std::vector<double> samples_;  // 2 * kSampleHistorySize
    std::size_t nextSlot_ = 0;     // block slot the next push overwrites
};

}  // namespace qm::audio
