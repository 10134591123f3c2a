#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "studio/audio/analysis_sizes.h"

// The block the analysis capture thread keeps between packets: channel 0 of the first
// min(frames, 480) frames of each packet. Entries a short packet does not reach keep their
// values from earlier packets; frames beyond 480 are not used. All zero at the start.
namespace qm::audio {

class CaptureBlock {
  public:
    // `interleaved` holds whole frames of `channels` samples each; a trailing partial frame is
    // ignored, and a packet with no channels changes nothing.
    void takePacket(std::span<const float> interleaved, std::size_t channels);

    std::span<const float, kBlockSize> samples() const { return samples_; }

  private:
    std::array<float, kBlockSize> samples_{};
};

}  // namespace qm::audio
