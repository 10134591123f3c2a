// The panels' models: what a read shows and which calls each action makes, in order.
#include <gtest/gtest.h>

#include "studio/panels/alc_model.h"
#include "studio/panels/direction_model.h"
#include "studio/panels/equalizer_model.h"
#include "studio/panels/filter_marks.h"
#include "studio/panels/filters_model.h"
#include "studio/panels/output_models.h"

namespace qm::studio::panels {
namespace {

using settings::DeviceSettings;
using settings::Setting;
using M = SettingMethod;

DeviceSettings with(std::initializer_list<std::pair<Setting, int>> values) {
    DeviceSettings bytes;
    for (const auto& [setting, value] : values) {
        bytes[setting] = static_cast<std::uint8_t>(value);
    }
    return bytes;
}

TEST(FiltersModelTest, ShowsEachFilterFromItsByte) {
    FiltersModel model;
    model.show(with({{Setting::LPF, 0}, {Setting::HPF_1, 7}, {Setting::HPF_2, 3}}));
    EXPECT_FALSE(model.row(Filter::Lpf).master);
    EXPECT_FALSE(model.row(Filter::Lpf).buttonsVisible);
    const auto& hpf1 = model.row(Filter::Hpf1);
    EXPECT_TRUE(hpf1.master);
    EXPECT_TRUE(hpf1.buttonsVisible);
    EXPECT_EQ(hpf1.checked, 0) << "a code above the table checks no button";
    EXPECT_EQ(model.row(Filter::Hpf2).checked, 3);
    EXPECT_STREQ(frequencyLabel(Filter::Lpf, 5), "5000 Hz");
    EXPECT_STREQ(frequencyLabel(Filter::Hpf1, 3), "118.11 Hz");
}

TEST(EqualizerModelTest, ModeByteGivesWidthFrequencyAndRange) {
    EqualizerModel model;
    model.show(with({{Setting::EQ_2_BW_MODE, 0x25},
                     {Setting::EQ_2_GAIN, 40},
                     {Setting::EQ_POWER, 0x02},
                     {Setting::EQ_4_BW_MODE, 0x47}}),
               "Larch");
    const auto& strip = model.strip(1);
    EXPECT_EQ(strip.width, 200);
    EXPECT_EQ(strip.frequency, 1500);
    EXPECT_EQ(strip.sliderMinimum, 5);
    EXPECT_EQ(strip.sliderMaximum, 103);
    EXPECT_EQ(strip.position, 40);
    EXPECT_TRUE(strip.controlsVisible);
    EXPECT_FALSE(model.strip(2).controlsVisible) << "band 3 is off";
    EXPECT_EQ(model.strip(3).frequency, 2000) << "an unknown mode keeps the strip's frequency";
    EXPECT_FALSE(model.strip(0).locked);
}

TEST(EqualizerModelTest, FirstBandAt500HzIsLockedOnModelsWithoutIt) {
    for (const char* name : {"Alder", "birch", "CP2114 USB-Audio Bridge"}) {
        EqualizerModel model;
        model.show(with({{Setting::EQ_1_BW_MODE, 0x11}, {Setting::EQ_POWER, 0x1F}}), name);
        EXPECT_TRUE(model.strip(0).locked) << name;
        EXPECT_FALSE(model.strip(0).listEnabled);
        EXPECT_FALSE(model.strip(0).controlsVisible);
        EXPECT_FALSE(model.strip(0).bandSwitchVisible);
        EXPECT_FALSE(model.strip(1).locked);
    }
    EqualizerModel moved;
    moved.show(with({{Setting::EQ_1_BW_MODE, 0x12}}), "Alder");
    EXPECT_FALSE(moved.strip(0).locked) << "band 1 at 750 Hz";
}

TEST(EqualizerModelTest, ActionsSendTheirCallsInOrder) {
    EqualizerModel model;
    model.show(with({{Setting::EQ_3_BW_MODE, 0x31}}), "Larch");

    // Band 2 switched on with every band off.
    EXPECT_EQ(
        model.toggleBand(1),
        (SettingCalls{{M::Set_EQ_POWER, 0x02}, {M::Set_EQ_GAIN, 2, 0}, {M::Set_EQ_NOTCH, 0x02}}));
    // Its gain moved while the notch is on: the notch bit cleared first.
    EXPECT_EQ(model.moveGain(1, 30),
              (SettingCalls{{M::Set_EQ_NOTCH, 0x00}, {M::Set_EQ_GAIN, 2, 30}}));
    EXPECT_EQ(model.moveGain(1, 31), (SettingCalls{{M::Set_EQ_GAIN, 2, 31}}));
    EXPECT_FALSE(model.strip(1).notchOn);

    // 1750 Hz on band 3 at width 300.
    EXPECT_EQ(model.chooseFrequency(2, 5),
              (SettingCalls{{M::Set_EQ_GAIN, 3, 0}, {M::Set_EQ_BAND_WIDTH, 3, 1750, 300}}));
    EXPECT_EQ(model.mode(2), 0x36);
    EXPECT_TRUE(model.strip(2).notchOn);
    EXPECT_EQ(model.strip(2).sliderMinimum, 0);
    EXPECT_EQ(model.strip(2).sliderMaximum, 157);

    // Width 100 on band 3, then its notch off and on again.
    EXPECT_EQ(model.chooseWidth(2, 100),
              (SettingCalls{{M::Set_EQ_GAIN, 3, 0}, {M::Set_EQ_BAND_WIDTH, 3, 1750, 100}}));
    EXPECT_EQ(model.strip(2).sliderMaximum, 53);
    EXPECT_EQ(model.toggleNotch(2), (SettingCalls{{M::Set_EQ_NOTCH, 0x00}}));
    EXPECT_EQ(model.toggleNotch(2),
              (SettingCalls{{M::Set_EQ_GAIN, 3, 0}, {M::Set_EQ_NOTCH, 0x04}}));

    // Band 2 off: the power byte is 0, so no gain or notch follows.
    EXPECT_EQ(model.toggleBand(1), (SettingCalls{{M::Set_EQ_POWER, 0x00}}));
}

TEST(EqualizerModelTest, ClearingEmptiesTheBytes) {
    EqualizerModel model;
    model.show(with({{Setting::EQ_NOTCH, 3}, {Setting::EQ_POWER, 7}, {Setting::EQ_5_GAIN, 9}}),
               "Larch");
    model.clear();
    EXPECT_EQ(model.notch(), 0);
    EXPECT_EQ(model.power(), 0);
    EXPECT_EQ(model.gain(4), 0);
}

TEST(AlcModelTest, ShowsTheFieldsOfTheRecoveryAndModeBytes) {
    AlcModel model;
    model.show(with({{Setting::Volume, 4},
                     {Setting::ALC_REF_VALUE, 250},
                     {Setting::ALC_RECOVERY, 0xFB},
                     {Setting::ALC_MODE, 0x75}}));
    EXPECT_EQ(model.volumePosition(), 5);
    EXPECT_EQ(model.referencePosition(), 241);
    const AlcModel::Fields f = model.fields();
    EXPECT_TRUE(f.recoveryOn);
    EXPECT_EQ(f.waiting, 2);
    EXPECT_EQ(f.speed, 3);
    EXPECT_TRUE(f.alcOn);
    EXPECT_EQ(f.level, 1);
    EXPECT_EQ(f.gain, 5);
    EXPECT_EQ(f.range, 1);
}

TEST(AlcModelTest, EachButtonEditsItsFieldAndKeepsTheOtherBits) {
    AlcModel model;
    model.show(with({{Setting::ALC_RECOVERY, 0xE0}, {Setting::ALC_MODE, 0x83}}));
    EXPECT_EQ(model.toggleRecovery(), (SettingCall{M::Set_ALC_RECOVERY, 0xF0}));
    EXPECT_EQ(model.chooseWaiting(3), (SettingCall{M::Set_ALC_RECOVERY, 0xFC}));
    EXPECT_EQ(model.chooseSpeed(1), (SettingCall{M::Set_ALC_RECOVERY, 0xFD}));
    EXPECT_EQ(model.toggleAlc(), (SettingCall{M::Set_ALC_MODE, 0xA3}));
    EXPECT_EQ(model.chooseGain(7), (SettingCall{M::Set_ALC_MODE, 0xBF}));
    // Range 6228: level 2, range 2, whatever was set before.
    EXPECT_EQ(model.chooseRange(1, 2), (SettingCall{M::Set_ALC_MODE, 0xFE}));
    // Level 1 always starts at its first range.
    EXPECT_EQ(model.chooseLevel(0), (SettingCall{M::Set_ALC_MODE, 0xBC}));
    EXPECT_EQ(model.volumeMute(), (SettingCall{M::SetVolumeMute}));
    EXPECT_EQ(model.volume(), 4);
    EXPECT_EQ(model.volumePosition(), 5);
    EXPECT_EQ(model.referenceNormal(), (SettingCall{M::Set_ALC_REF_VALUE, 145}));
    EXPECT_EQ(model.referenceMute(), (SettingCall{M::Set_ALC_REF_VALUE, 4}));
}

TEST(DirectionModelTest, VolumeRunsBackwardsOnTheSlider) {
    DirectionModel model;
    model.show(with({{Setting::DirVolume, 16}, {Setting::Beam, 3}}));
    EXPECT_EQ(model.volumePosition(), 25);
    EXPECT_EQ(model.listSelection(), 3);
    model.show(with({{Setting::DirVolume, 41}, {Setting::Beam, 9}}));
    EXPECT_EQ(model.volumePosition(), 0);
    EXPECT_EQ(model.listSelection(), 3) << "an unknown pattern keeps the list's selection";
    EXPECT_EQ(model.moveVolume(40), (SettingCall{M::SetDirectionVolume, 1}));
    EXPECT_EQ(model.volumeNormal(), (SettingCall{M::SetDirectionVolume, 16}));
    EXPECT_EQ(model.moveZoom(128), (SettingCall{M::SetZoom, 128}));
}

TEST(OutputModelsTest, MuteGoesOneStepBeyondTheSlider) {
    OutputVolumeModel output;
    output.show(with({{Setting::OUT_VOLUME, 0}}));
    EXPECT_EQ(output.position(), 203);
    EXPECT_EQ(output.mute(), (SettingCall{M::Set_Ext_OutVolume, 204}));
    EXPECT_EQ(output.position(), 1);
    EXPECT_EQ(output.normal(), (SettingCall{M::Set_Ext_OutVolume, 24}));
    EXPECT_EQ(output.position(), 179);
    EXPECT_EQ(output.move(0), (SettingCall{M::Set_Ext_OutVolume, 203}));
}

TEST(OutputModelsTest, LoopSwitchKeepsTheGain) {
    InputGainModel gain;
    gain.show(with({{Setting::TPA, 0xA0}}));
    EXPECT_TRUE(gain.powerOn());
    EXPECT_EQ(gain.gain(), 2);
    EXPECT_EQ(gain.togglePower(), (SettingCall{M::Set_Ext_TPA, 0x80}));
    EXPECT_EQ(gain.togglePower(), (SettingCall{M::Set_Ext_TPA, 0xA0}));
    EXPECT_EQ(gain.chooseGain(3), (SettingCall{M::Set_Ext_TPA, 0xE0}));
}

TEST(FilterMarksTest, FrequenciesOfTheShownFiltersAndOfTheBandsSwitchedOn) {
    const auto bytes = with({{Setting::LPF, 3},
                             {Setting::HPF_1, 3},
                             {Setting::HPF_2, 11},
                             {Setting::EQ_POWER, 0x14},
                             {Setting::EQ_NOTCH, 0x04},
                             {Setting::EQ_3_BW_MODE, 0x36},
                             {Setting::EQ_5_BW_MODE, 0x4A},
                             {Setting::EQ_5_GAIN, 40}});
    const FilterMarks marks = filterMarksOf(bytes, 0b000110);
    EXPECT_EQ(marks.lpfHz, 6000);
    EXPECT_EQ(marks.hpf1Hz, 118.11);
    EXPECT_EQ(marks.hpf2Hz, 0) << "a code beyond the table marks nothing";
    EXPECT_EQ(marks.bands,
              (std::vector<EqualizerMark>{{3, 1750, 300, 0, true}, {5, 2500, 100, 40, false}}))
        << "a mode byte out of range leaves the band where a read leaves it";

    EXPECT_EQ(filterMarksOf(bytes, 0b000100).lpfHz, 0) << "filters panel hidden";
    EXPECT_TRUE(filterMarksOf(bytes, 0b000010).bands.empty()) << "equaliser panel hidden";
}

}  // namespace
}  // namespace qm::studio::panels
