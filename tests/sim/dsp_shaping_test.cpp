#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "common/settings/encodings.h"
#include "sim/sound/dsp_shaping.h"
#include "sim/sound/test_signal.h"
#include "sim/virtual_dsp.h"

namespace qm::sim {
namespace {

using settings::Setting;

settings::DeviceSettings defaults() {
    return VirtualDsp::factoryDefaults(settings::Model::Cedar);
}

TEST(DspShaping, FactorySettingsLeaveTheSoundAsItIs) {
    DspShaping shaping;
    shaping.configure(defaults());
    for (const double f : TestSignal::kTones) {
        EXPECT_NEAR(shaping.responseDb(f), 0.0, 1e-9) << f;
    }
}

TEST(DspShaping, FiltersCutWhereTheirCodesSay) {
    settings::DeviceSettings s = defaults();
    s[Setting::LPF] = 5;    // 5000 Hz
    s[Setting::HPF_2] = 4;  // 200 Hz
    DspShaping shaping;
    shaping.configure(s);
    EXPECT_NEAR(shaping.responseDb(5000.0), -3.0, 0.1);
    EXPECT_LT(shaping.responseDb(11000.0), -25.0);
    EXPECT_NEAR(shaping.responseDb(1000.0), 0.0, 0.5);
    EXPECT_NEAR(shaping.responseDb(200.0), -3.0, 0.1);
    EXPECT_LT(shaping.responseDb(50.0), -20.0);

    // The chain is what process() does: a settled 11 kHz tone comes out 25 dB down or more.
    double peak = 0.0;
    for (int n = 0; n < 48'000; ++n) {
        const double out = shaping.process(std::sin(2.0 * std::numbers::pi * 11000.0 * n / 48e3));
        if (n > 24'000) {
            peak = std::max(peak, std::abs(out));
        }
    }
    EXPECT_LT(20.0 * std::log10(peak), -25.0);
}

TEST(DspShaping, EqualiserBandsVolumeAndMute) {
    settings::DeviceSettings s = defaults();
    s[Setting::EQ_POWER] = 0b00110;                     // bands 2 and 3 on
    s[settings::eqMode(2)] = 0x25;                      // 1500 Hz, 200 Hz wide
    s[settings::eqGain(2)] = 103;                       // the top of its range: +12 dB
    s[settings::eqMode(3)] = 0x39;                      // 2500 Hz, 300 Hz wide
    s[Setting::EQ_NOTCH] = 0b00100;                     // band 3 notched
    s[Setting::Volume] = settings::kVolumeNormal + 16;  // +6 dB
    DspShaping shaping;
    shaping.configure(s);
    EXPECT_NEAR(shaping.responseDb(1500.0), 12.0 + 6.0, 0.1);
    EXPECT_LT(shaping.responseDb(2500.0), -40.0);
    EXPECT_NEAR(shaping.responseDb(500.0), 6.0, 0.5) << "band 1 is off";

    s[Setting::Volume] = settings::kVolumeMute;
    shaping.configure(s);
    EXPECT_EQ(shaping.process(0.5), 0.0);
}

TEST(TestSignal, StaysWithinFullScaleAndRepeats) {
    TestSignal a;
    TestSignal b;
    double peak = 0.0;
    for (int n = 0; n < 96'000; ++n) {
        const double x = a.next();
        ASSERT_EQ(x, b.next());
        peak = std::max(peak, std::abs(x));
    }
    EXPECT_LT(peak, 0.4);
    EXPECT_GT(peak, 0.1);
}

}  // namespace
}  // namespace qm::sim
