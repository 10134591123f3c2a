#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "studio/audio/analysis_sizes.h"
#include "studio/audio/audio_system.h"

// The preview's delay line: four blocks of 480 stereo frames (40 ms). Each capture packet puts
// channel 0 of its first 480 frames into both channels of a new block; the line then holds, in
// quarter order, the oldest block, the newest, the one before it and the one before that. The
// render side plays from the third quarter on: the block captured one packet earlier, followed
// by the one before it, so the output always has a whole packet of slack against capture.
namespace qm::audio {

class PreviewDelayLine {
  public:
    static constexpr std::size_t kBlockFloats = kBlockSize * kStreamChannels;  // 960
    static constexpr std::size_t kLineFloats = 4 * kBlockFloats;               // 3840
    static constexpr std::size_t kMaxRenderFrames = 2 * kBlockSize;            // 960
    static constexpr std::size_t kRenderStart = 2 * kBlockFloats;              // float 1920

    void clear() { line_.fill(0.0F); }

    // `interleaved` holds whole frames of `channels` samples; a trailing partial frame is
    // ignored. The block is zero beyond a short packet; frames beyond 480 are not used.
    void takePacket(std::span<const float> interleaved, std::size_t channels);

    // Writes min(free frames, 960) frames to the stream, as silence when not `audible`. A
    // stream that can't tell its free frames gets nothing.
    void render(RenderStream& stream, bool audible) const;

    std::span<const float, kLineFloats> line() const { return line_; }

  private:
    std::array<float, kLineFloats> line_{};
};

}  // namespace qm::audio
