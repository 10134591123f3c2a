#pragma once

#include <vector>

#include "common/settings/device_settings.h"

// How a virtual microphone's DSP settings shape its sound, in the simulator's own model: the
// low-pass filter (4th-order Butterworth at 7500 - 500 x code Hz), the two high-pass filters
// (2nd order; HPF 1 at 3.7, 14.8, 118.11 or 236.8 Hz, HPF 2 at 50 x code Hz), the five equaliser
// bands that are switched on (a peaking filter at the band's frequency and width, or a notch when
// the band's notch bit is set or its gain is 0), and the DSP volume (145 = 0 dB, 0.375 dB a step;
// 4 and below mute). A setting of 0 (or a code outside its table) leaves its block out. The
// equaliser gain codes of a band span -12 dB to +12 dB over the gain range of its width (0 to 53,
// 103 or 157), 0 dB in the middle. Direction, ALC and the analog stages are not modelled.
namespace qm::sim {

class DspShaping {
  public:
    explicit DspShaping(double rate = 48'000.0);

    // Rebuilds the chain when the settings differ from the ones it has; the filters' memory is
    // kept otherwise, so that a steady stream has no clicks.
    void configure(const settings::DeviceSettings& settings);
    double process(double sample);

    // What the chain does to a steady tone of this frequency, in dB.
    double responseDb(double frequency) const;

  private:
    struct Biquad {
        double b0, b1, b2, a1, a2;  // normalised: a0 = 1
        double z1 = 0.0, z2 = 0.0;
        double process(double x);
    };
    enum class Kind { LowPass, HighPass, Peaking, Notch };
    void add(Kind kind, double frequency, double q, double gainDb = 0.0);

    double rate_;
    bool configured_ = false;
    settings::DeviceSettings settings_;
    std::vector<Biquad> chain_;
    double gain_ = 1.0;
};

}  // namespace qm::sim
