#pragma once

#include <array>
#include <cstdint>

// What a virtual microphone hears: eleven steady tones spread from 100 Hz to 15 kHz over a floor
// of white noise, so that every filter of the DSP shows in a spectrum. Mono, about -10 dBFS at
// its peaks. Deterministic: the same rate gives the same samples.
namespace qm::sim {

class TestSignal {
  public:
    static constexpr std::array<double, 11> kTones{100,  250,  500,  1000,  2000, 3000,
                                                   4500, 6000, 8000, 11000, 15000};
    static constexpr double kToneAmplitude = 0.03;
    static constexpr double kNoiseAmplitude = 0.01;

    explicit TestSignal(double rate = 48'000.0);

    double next();

  private:
    struct Oscillator {
        double cosStep, sinStep;  // rotation per sample
        double c = 1.0, s = 0.0;  // the phasor
    };
    std::array<Oscillator, kTones.size()> oscillators_{};
    std::uint32_t noise_ = 0x9E3779B9u;
    std::uint32_t count_ = 0;
};

}  // namespace qm::sim
