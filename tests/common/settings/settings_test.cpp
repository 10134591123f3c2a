#include <gtest/gtest.h>

#include <set>

#include "common/settings/encodings.h"
#include "common/settings/level_labels.h"
#include "common/settings/models.h"
#include "common/settings/serial_name.h"
#include "common/settings/setting_table.h"

namespace qm::settings {
namespace {

TEST(SettingTable, NamesAndReplyPositionsFollowTableOrder) {
    const auto& table = settingTable();
    EXPECT_EQ(table[0].registryName, "DirVolume");
    EXPECT_EQ(settingInfo(Setting::Zoom).xmlAttribute, "DirZoom");
    EXPECT_EQ(settingInfo(Setting::Beam).xmlAttribute, "DirBeam");
    EXPECT_EQ(settingInfo(Setting::Volume).xmlAttribute, "DspVolume");
    EXPECT_EQ(settingInfo(Setting::Volume).registryName, "Volume");
    // Filters come from one reply in the order HPF 1, HPF 2, LPF.
    EXPECT_EQ(settingInfo(Setting::HPF_1).replyByte, 1);
    EXPECT_EQ(settingInfo(Setting::HPF_2).replyByte, 2);
    EXPECT_EQ(settingInfo(Setting::LPF).replyByte, 3);
    EXPECT_EQ(settingInfo(eqGain(5)).replyByte, 6);
    EXPECT_EQ(settingInfo(eqMode(1)).registryName, "EQ_1_BW_MODE");
    EXPECT_EQ(settingInfo(Setting::TPA).block, StatusBlock::ExtTpa);
    EXPECT_EQ(statusBlockInfo(StatusBlock::ExtTpa).number, 0x0A);
    EXPECT_FALSE(statusBlockInfo(StatusBlock::Direction).number.has_value());

    std::set<std::string_view> registryNames;
    for (const auto& info : table)
        registryNames.insert(info.registryName);
    EXPECT_EQ(registryNames.size(), kSettingCount) << "every registry name is distinct";
}

TEST(SettingTable, AlcCurrentVolumeIsReadOnlyAndNeverInTheXml) {
    const SettingInfo& info = settingInfo(Setting::ALC_VOLUME);
    EXPECT_TRUE(info.xmlAttribute.empty());
    EXPECT_TRUE(info.changedBy.empty());
    EXPECT_EQ(info.block, StatusBlock::Alc);
    EXPECT_EQ(info.replyByte, 4);
}

TEST(SettingTable, LookupByRegistryNameIgnoresAsciiCase) {
    EXPECT_EQ(settingByRegistryName("eq_3_gain"), Setting::EQ_3_GAIN);
    EXPECT_EQ(settingByRegistryName("LPF"), Setting::LPF);
    EXPECT_FALSE(settingByRegistryName("DspVolume").has_value()) << "XML name, not registry";
    EXPECT_FALSE(settingByRegistryName("").has_value());
}

TEST(Models, ProductNamesCompareWithoutCase) {
    EXPECT_EQ(modelFromProductName("Alder"), Model::Alder);
    EXPECT_EQ(modelFromProductName("birch"), Model::Birch);
    EXPECT_EQ(modelFromProductName("CEDAR"), Model::Cedar);
    EXPECT_EQ(modelFromProductName("Larch"), Model::Larch);
    EXPECT_EQ(modelFromProductName("Rowan"), Model::Rowan);
    EXPECT_EQ(modelFromProductName("cp2114 usb-audio bridge"), Model::Cp2114Bridge);
    EXPECT_EQ(modelFromProductName("Maple"), Model::Unknown);
    EXPECT_EQ(modelFromProductName("Birch "), Model::Unknown);
    EXPECT_EQ(modelFromProductName(""), Model::Unknown);
}

// Expected presence per model: {direction, out volume, input gain} in each place.
struct ModelRow {
    Model model;
    bool dirRead, dirXml, dirCache;
    bool outRead, outXml, outCache;
    bool tpaRead, tpaXml, tpaCache;
};

TEST(Models, WhichBlocksEachModelReadsShowsAndCaches) {
    const ModelRow rows[] = {
        {Model::Alder, true, true, true, false, false, false, false, false, false},
        {Model::Birch, true, true, true, true, true, true, false, false, false},
        {Model::Cedar, false, false, false, true, true, true, false, false, false},
        {Model::Larch, false, false, false, true, true, true, true, true, true},
        {Model::Rowan, false, false, false, true, true, true, true, true, true},
        {Model::Cp2114Bridge, false, false, true, true, false, true, false, false, false},
        {Model::Unknown, false, false, false, false, false, false, false, false, false},
    };
    for (const ModelRow& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.model));
        EXPECT_EQ(hasGroup(r.model, SettingGroup::Direction, Place::DeviceRead), r.dirRead);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::Direction, Place::DeviceXml), r.dirXml);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::Direction, Place::RegistryCache), r.dirCache);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::OutVolume, Place::DeviceRead), r.outRead);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::OutVolume, Place::DeviceXml), r.outXml);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::OutVolume, Place::RegistryCache), r.outCache);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::InputGain, Place::DeviceRead), r.tpaRead);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::InputGain, Place::DeviceXml), r.tpaXml);
        EXPECT_EQ(hasGroup(r.model, SettingGroup::InputGain, Place::RegistryCache), r.tpaCache);
        for (Place p : {Place::DeviceRead, Place::DeviceXml, Place::RegistryCache}) {
            EXPECT_TRUE(hasSetting(r.model, Setting::ALC_MODE, p)) << "settings 4-23 always";
        }
    }
}

TEST(Encodings, BandModeByte) {
    EXPECT_EQ(bandModeByte(1000, 200), 0x23);
    EXPECT_EQ(bandModeByte(500, 100), 0x11);
    EXPECT_EQ(bandModeByte(2500, 300), 0x39);
    EXPECT_EQ(bandModeByte(1100, 200), 0) << "frequency off the 250 Hz grid";
    EXPECT_EQ(bandModeByte(1000, 150), 0) << "width not 100, 200 or 300";
    EXPECT_EQ(bandModeByte(250, 100), 0) << "frequency code 0 does not exist";
    EXPECT_EQ(bandModeByte(2750, 100), 0);
    EXPECT_EQ(bandModeByte(-250, 100), 0);
}

TEST(Encodings, PresetsAndMasks) {
    EXPECT_EQ(kVolumeNormal, 145);
    EXPECT_EQ(kVolumeMute, 4);
    EXPECT_EQ(bandMaskBit(1), 0x01);
    EXPECT_EQ(bandMaskBit(5), 0x10);
    EXPECT_EQ(bandMaskBit(0), 0);
    EXPECT_EQ(bandMaskBit(6), 0);
}

TEST(LevelLabels, ThreeScales) {
    EXPECT_EQ(levelLabel(LevelScale::DspVolume, 145), "0 dB");
    EXPECT_EQ(levelLabel(LevelScale::DspVolume, 146), "+ 0.4 dB");
    EXPECT_EQ(levelLabel(LevelScale::DspVolume, 4), "- 52.9 dB");
    EXPECT_EQ(levelLabel(LevelScale::DspVolume, 255), "+ 41.2 dB");
    EXPECT_EQ(levelLabel(LevelScale::DirectionVolume, 17), "- 1.0 dB");
    EXPECT_EQ(levelLabel(LevelScale::DirectionVolume, 0), "+ 16.0 dB");
    EXPECT_EQ(levelLabel(LevelScale::DirectionVolume, 16), "0 dB");
    EXPECT_EQ(levelLabel(LevelScale::OutputVolume, 0), "+ 12.0 dB");
    EXPECT_EQ(levelLabel(LevelScale::OutputVolume, 25), "- 0.5 dB");
    EXPECT_EQ(levelLabel(LevelScale::OutputVolume, 24), "0 dB");
}

TEST(SerialName, EscapesWhatCouldLeaveAFolderOrKeyAndGoesBack) {
    EXPECT_EQ(serialName("SN1001"), "SN1001");
    EXPECT_EQ(serialName("../escaped"), "%2E.%2Fescaped");
    EXPECT_EQ(serialName("a\\b c%~"), "a%5Cb%20c%25%7E");
    EXPECT_EQ(serialName(".."), "%2E.");
    EXPECT_EQ(serialName("\x01\n\x7f\xC3\xA9"), "%01%0A%7F%C3%A9");
    EXPECT_EQ(serialName(""), "%");
    for (const std::string serial :
         {"SN1001", "../escaped", "a\\b c%~", "..", "", "x.y", "\x01\n\x7f\xC3\xA9", "%2F"}) {
        EXPECT_EQ(serialFromName(serialName(serial)), serial);
    }
    // Only names the escaping makes go back.
    for (const char* name : {"%2", "%2g", "%41", "a/b", ".hidden", "a b", "x~12345678"})
        EXPECT_FALSE(serialFromName(name)) << name;
}

TEST(SerialName, LongSerialsAreCutWithAHashThatKeepsThemApart) {
    const std::string plain(200, 'x');
    EXPECT_EQ(serialName(plain), plain);
    EXPECT_EQ(serialFromName(plain), plain);
    const std::string a = std::string(199, '/') + "a";
    const std::string b = std::string(199, '/') + "b";
    EXPECT_LE(serialName(a).size(), kMaxSerialNameLength);
    EXPECT_NE(serialName(a), serialName(b));
    EXPECT_EQ(serialName(a).find('/'), std::string::npos);
    EXPECT_FALSE(serialFromName(serialName(a)));
    EXPECT_LE(serialName(std::string(201, 'x')).size(), kMaxSerialNameLength);
}

}  // namespace
}  // namespace qm::settings
