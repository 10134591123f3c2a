#pragma once

// The level-to-height mapping of the waveform view and the peak meters: a level in dB becomes a
// height in percent of the available half-height (or meter height), on a scale that gives more
// room to the loud end: 0 dB is 100 %, -10 dB 75 %, -20 dB 50 %, -30 dB 30 %, -40 dB 15 %,
// -50 dB 7 %, anything from -110 dB up to -62 dB a sliver of 1.5 %, and levels above 0 dB,
// exactly -62 dB, below -110 dB or undefined 0.
namespace qm::audio {

float DbToPercent(float v);

}  // namespace qm::audio
