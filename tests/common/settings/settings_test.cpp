#include <gtest/gtest.h>

#include <set>

#include "common/settings/encodings.h"
#include "common/settings/level_labels.h"
#include "common/settings/models.h"
#include "common/settings/serial_name.h"
#include "common/settings/setting_table.h"

namespace qm::settings {
namespace {

TEST(SettingTable, LookupByRegistryNameIgnoresAsciiCase) {
    EXPECT_EQ(settingByRegistryName("eq_3_gain"), Setting::EQ_3_GAIN);
    EXPECT_EQ(settingByRegistryName("LPF"), Setting::LPF);
    EXPECT_FALSE(settingByRegistryName("DspVolume").has_value()) << "XML name, not registry";
    EXPECT_FALSE(settingByRegistryName("").has_value());
    std::set<std::string_view> registryNames;
    for (const auto& info : settingTable())
        registryNames.insert(info.registryName);
    EXPECT_EQ(registryNames.size(), kSettingCount) << "every registry name is distinct";
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

TEST(Encodings, BandModeByte) {
    EXPECT_EQ(bandModeByte(1000, 200), 0x23);
    EXPECT_EQ(bandModeByte(500, 100), 0x11);
    EXPECT_EQ(bandModeByte(2500, 300), 0x39);
    EXPECT_EQ(bandModeByte(1100, 200), 0) << "frequency off the 250 Hz grid";
    EXPECT_EQ(bandModeByte(1000, 150), 0) << "width not 100, 200 or 300";
    EXPECT_EQ(bandModeByte(250, 100), 0) << "frequency code 0 does not exist";
    EXPECT_EQ(bandModeByte(2750, 100), 0);
    EXPECT_EQ(bandModeByte(-250, 100), 0);
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
