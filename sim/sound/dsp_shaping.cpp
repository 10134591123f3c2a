#include "sim/sound/dsp_shaping.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "common/settings/encodings.h"

namespace qm::sim {
namespace {

using settings::Setting;

constexpr double kButterworthQ = std::numbers::sqrt2 / 2.0;
// The two sections of a 4th-order Butterworth filter.
constexpr double kFourthOrderQ1 = 0.54119610014619698;
constexpr double kFourthOrderQ2 = 1.3065629648763766;
constexpr double kHpf1Hz[] = {3.7, 14.8, 118.11, 236.8};
constexpr double kEqRangeDb = 12.0;
constexpr int kEqGainMaximum[] = {53, 103, 157};  // by width 100, 200, 300 Hz
constexpr double kVolumeStepDb = 0.375;

}  // namespace

double DspShaping::Biquad::process(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

DspShaping::DspShaping(double rate) : rate_(rate) {}

// Coefficients after R. Bristow-Johnson's cookbook of audio filters.
void DspShaping::add(Kind kind, double frequency, double q, double gainDb) {
    const double w0 = 2.0 * std::numbers::pi * frequency / rate_;
    const double cosine = std::cos(w0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double a = std::pow(10.0, gainDb / 40.0);
    double b0 = 1.0, b1 = -2.0 * cosine, b2 = 1.0;
    double a0 = 1.0 + alpha, a1 = -2.0 * cosine, a2 = 1.0 - alpha;
    switch (kind) {
        case Kind::LowPass:
            b0 = b2 = (1.0 - cosine) / 2.0;
            b1 = 1.0 - cosine;
            break;
        case Kind::HighPass:
            b0 = b2 = (1.0 + cosine) / 2.0;
            b1 = -(1.0 + cosine);
            break;
        case Kind::Peaking:
            b0 = 1.0 + alpha * a;
            b2 = 1.0 - alpha * a;
            a0 = 1.0 + alpha / a;
            a2 = 1.0 - alpha / a;
            break;
        case Kind::Notch:
            break;
    }
    chain_.push_back({b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0});
}

void DspShaping::configure(const settings::DeviceSettings& s) {
    if (configured_ && s == settings_) {
        return;
    }
    configured_ = true;
    settings_ = s;
    chain_.clear();

    if (const int lpf = s[Setting::LPF]; lpf >= 1 && lpf <= 10) {
        const double cutOff = 7500.0 - 500.0 * lpf;
        add(Kind::LowPass, cutOff, kFourthOrderQ1);
        add(Kind::LowPass, cutOff, kFourthOrderQ2);
    }
    if (const int hpf1 = s[Setting::HPF_1]; hpf1 >= 1 && hpf1 <= 4) {
        add(Kind::HighPass, kHpf1Hz[hpf1 - 1], kButterworthQ);
    }
    if (const int hpf2 = s[Setting::HPF_2]; hpf2 >= 1 && hpf2 <= 10) {
        add(Kind::HighPass, 50.0 * hpf2, kButterworthQ);
    }
    for (int band = 0; band < 5; ++band) {
        const auto bit = static_cast<std::uint8_t>(1u << band);
        const std::uint8_t mode = s[settings::eqMode(band + 1)];
        const int width = mode >> 4;
        const int frequencyIndex = mode & 0x0F;
        if ((s[Setting::EQ_POWER] & bit) == 0 || width < 1 || width > 3 || frequencyIndex < 1 ||
            frequencyIndex > 9) {
            continue;
        }
        const double centre = 500.0 + 250.0 * (frequencyIndex - 1);
        const double q = centre / (100.0 * width);
        const int gain = s[settings::eqGain(band + 1)];
        if ((s[Setting::EQ_NOTCH] & bit) != 0 || gain == 0) {
            add(Kind::Notch, centre, q);
            continue;
        }
        const double maximum = kEqGainMaximum[width - 1];
        const double db =
            (std::min<double>(gain, maximum) - maximum / 2.0) * 2.0 * kEqRangeDb / maximum;
        add(Kind::Peaking, centre, q, db);
    }
    const int volume = s[Setting::Volume];
    gain_ = volume <= settings::kVolumeMute
                ? 0.0
                : std::pow(10.0, (volume - settings::kVolumeNormal) * kVolumeStepDb / 20.0);
}

double DspShaping::process(double sample) {
    for (Biquad& stage : chain_) {
        sample = stage.process(sample);
    }
    return sample * gain_;
}

double DspShaping::responseDb(double frequency) const {
    const std::complex<double> z1 =
        std::polar(1.0, -2.0 * std::numbers::pi * frequency / rate_);  // z^-1
    std::complex<double> response = gain_;
    for (const Biquad& stage : chain_) {
        response *= (stage.b0 + stage.b1 * z1 + stage.b2 * z1 * z1) /
                    (1.0 + stage.a1 * z1 + stage.a2 * z1 * z1);
    }
    return 20.0 * std::log10(std::abs(response));
}

}  // namespace qm::sim
