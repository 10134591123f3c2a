#include "studio/audio/capture_block.h"

#include <algorithm>

namespace qm::audio {

void CaptureBlock::takePacket(std::span<const float> interleaved, std::size_t channels) {
    if (channels == 0) {
        return;
    }
    const std::size_t frames = std::min(interleaved.size() / channels, kBlockSize);
    for (std::size_t f = 0; f < frames; ++f) {
        samples_[f] = interleaved[f * channels];
    }
}

}  // namespace qm::audio
