#include "studio/audio/sample_history.h"

#include <algorithm>

namespace qm::audio {

SampleHistory::SampleHistory() : samples_(2 * kSampleHistorySize, 0.0) {}

void SampleHistory::push(std::span<const double, kBlockSize> block) {
    const std::size_t offset = nextSlot_ * kBlockSize;
    std::copy(block.begin(), block.end(), samples_.begin() + static_cast<std::ptrdiff_t>(offset));
    std::copy(block.begin(), block.end(),
              samples_.begin() + static_cast<std::ptrdiff_t>(offset + kSampleHistorySize));
    nextSlot_ = (nextSlot_ + 1) % kSampleHistoryBlocks;
}

std::span<const double, kFftSize> SampleHistory::newest() const {
    // The newest block ends at slot nextSlot_ of the second copy; the kSampleHistorySize values
    // before that end are the whole history in time order.
    const std::size_t end = nextSlot_ * kBlockSize + kSampleHistorySize;
    return std::span<const double, kFftSize>(samples_.data() + (end - kFftSize), kFftSize);
}

void SampleHistory::clear() {
    std::fill(samples_.begin(), samples_.end(), 0.0);
    nextSlot_ = 0;
}

}  // namespace qm::audio
