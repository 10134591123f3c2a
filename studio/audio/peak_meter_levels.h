#pragma once

// What the two peak meters show: the level of each meter in percent of the meter height, read
// afresh every frame and not smoothed, and a hold per meter that rises with the level at once
// and falls back slowly on its own timer.
namespace qm::audio {

// Height of a peak (a linear amplitude, either sign) in percent of the meter: the level in dB
// through DbToPercent. Full scale (1.0, 0 dB) fills the meter; silence, and peaks above full
// scale or not a number, give 0.
float meterLevel(float peak);

struct PeakMeterLevels {
    // Each frame: the levels of the peaks just read; each hold rises to its level.
    void show(float inputPeak, float outputPeak);
    // Each fall-back tick (80 ms): both holds drop by kHoldFall, down to 0.
    void fall();

    static constexpr float kHoldFall = 0.5F;

    float inputLevel = 0.0F;
    float outputLevel = 0.0F;
    float inputHold = 0.0F;
    float outputHold = 0.0F;
};

}  // namespace qm::audio
