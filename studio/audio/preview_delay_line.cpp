#include "studio/audio/preview_delay_line.h"

#include <algorithm>

namespace qm::audio {

void PreviewDelayLine::takePacket(std::span<const float> interleaved, std::size_t channels) {
    const std::size_t frames =
        channels == 0 ? 0 : std::min(interleaved.size() / channels, kBlockSize);
    // The block is built over the front quarter, which holds the oldest block until now.
    std::fill(line_.begin(), line_.begin() + kBlockFloats, 0.0F);
    for (std::size_t f = 0; f < frames; ++f) {
        const float left = interleaved[f * channels];
        line_[2 * f] = left;
        line_[2 * f + 1] = left;
    }
    std::rotate(line_.begin(), line_.end() - kBlockFloats, line_.end());
}

void PreviewDelayLine::render(RenderStream& stream, bool audible) const {
    const std::optional<std::size_t> free = stream.freeFrames();
    if (!free) {
        return;
    }
    const std::size_t frames = std::min(*free, kMaxRenderFrames);
    if (frames == 0) {
        return;
    }
    stream.write(std::span<const float>(line_).subspan(kRenderStart, frames * kStreamChannels),
                 !audible);
}

}  // namespace qm::audio
