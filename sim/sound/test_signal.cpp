#include "sim/sound/test_signal.h"

#include <cmath>
#include <numbers>

namespace qm::sim {

TestSignal::TestSignal(double rate) {
    for (std::size_t i = 0; i < kTones.size(); ++i) {
        const double step = 2.0 * std::numbers::pi * kTones[i] / rate;
        oscillators_[i].cosStep = std::cos(step);
        oscillators_[i].sinStep = std::sin(step);
    }
}

double TestSignal::next() {
    double sum = 0.0;
    // Every tone is a phasor turned by its step each sample; once in a while its length is set
    // back to 1 so that rounding cannot make it grow or shrink.
    const bool renormalise = (++count_ & 1023u) == 0;
    for (Oscillator& o : oscillators_) {
        const double c = o.c * o.cosStep - o.s * o.sinStep;
        o.s = o.s * o.cosStep + o.c * o.sinStep;
        o.c = c;
        if (renormalise) {
            const double length = std::hypot(o.c, o.s);
            o.c /= length;
            o.s /= length;
        }
        sum += o.s;
    }
    // xorshift32: white noise, uniform in [-1, 1).
    noise_ ^= noise_ << 13;
    noise_ ^= noise_ >> 17;
    noise_ ^= noise_ << 5;
    const double noise = static_cast<double>(noise_) / 2147483648.0 - 1.0;
    return kToneAmplitude * sum + kNoiseAmplitude * noise;
}

}  // namespace qm::sim
