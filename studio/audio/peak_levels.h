#pragma once

// The peak levels the meters show: the largest absolute sample the audio system has seen on the
// monitored input (the microphone) and on the preview output since it last measured, as a linear
// amplitude (1.0 is full scale). The meters read both every 40 ms on the GUI thread, so an
// implementation answers at once and is safe against its own audio threads.
namespace qm::audio {

class PeakLevels {
  public:
    virtual ~PeakLevels() = default;
    // 0 when there is no input meter (no microphone captured).
    virtual float inputPeak() = 0;
    // 0 when there is no output meter (no preview output open).
    virtual float outputPeak() = 0;
};

// The levels of a studio without meters: silence on both.
class NoPeakLevels final : public PeakLevels {
  public:
    float inputPeak() override { return 0.0F; }
    float outputPeak() override { return 0.0F; }
};

}  // namespace qm::audio
