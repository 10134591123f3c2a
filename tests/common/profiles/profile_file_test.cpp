#include "common/profiles/profile_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/profiles/profile_library.h"
#include "support/temp_folder.h"

namespace qm::profiles {
namespace {

using settings::Setting;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// An "Alder" as its description shows it: no output volume, no input gain.
CProfile alderProfile(const std::filesystem::path& path) {
    CProfile p;
    p.path = path.string();
    p.id = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    p.name = "Voice & <room>";
    p.description = "Caf\xC3\xA9 \"quiet\"";
    p.serial = "SN1001";
    p.model = "Alder";
    const char* values[settings::kSettingCount] = {
        "16", "2",  "1",  "5",  "7",  "1",  "145", "0", "12",  "12", "12", "12", "12",
        "31", "17", "35", "51", "19", "25", "3",   "1", "140", "",   "",   ""};
    for (std::size_t i = 0; i < settings::kSettingCount; ++i)
        p.values[i] = values[i];
    return p;
}

constexpr const char* kAlderFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Profile ProfileID=\"6F9619FF-8B86-D011-B42D-00C04FC964FF\" ProfileName=\"Voice &amp; "
    "&lt;room>\" ProfileDesc=\"Caf\xC3\xA9 &quot;quiet&quot;\">\n"
    "\t<Device SN=\"SN1001\" Name=\"Alder\" DirVolume=\"16\" DirZoom=\"2\" DirBeam=\"1\" "
    "LPF=\"5\" HPF_1=\"7\" HPF_2=\"1\" DspVolume=\"145\" EQ_NOTCH=\"0\" EQ_1_GAIN=\"12\" "
    "EQ_2_GAIN=\"12\" EQ_3_GAIN=\"12\" EQ_4_GAIN=\"12\" EQ_5_GAIN=\"12\" EQ_POWER=\"31\" "
    "EQ_1_BW_MODE=\"17\" EQ_2_BW_MODE=\"35\" EQ_3_BW_MODE=\"51\" EQ_4_BW_MODE=\"19\" "
    "EQ_5_BW_MODE=\"25\" ALC_RECOVERY=\"3\" ALC_MODE=\"1\" ALC_REF_VALUE=\"140\" "
    "ALC_VOLUME=\"\" OUT_VOLUME=\"\" TPA=\"\" />\n"
    "</Profile>\n";

class ProfileFile : public ::testing::Test {
  protected:
    std::filesystem::path file(const char* name) const { return folder_.path() / name; }

  private:
    qm::testing::TempFolder folder_;
};

TEST_F(ProfileFile, AKnownProfileIsWrittenByteForByteAndReadBack) {
    const CProfile profile = alderProfile(file("Alder_1.xml"));
    std::string error;
    ASSERT_TRUE(writeProfile(profile, error)) << error;
    EXPECT_EQ(readFile(profile.path), kAlderFile);

    CProfile loaded;
    ASSERT_TRUE(loadProfile(profile.path, loaded, error)) << error;
    EXPECT_EQ(loaded, profile);
    // No temporary file is left next to it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(ProfileFile, MissingPartsLoadAsTheRulesSay) {
    std::string error;
    // Without "TPA": loads, with an empty value.
    std::string noTpa = kAlderFile;
    noTpa.erase(noTpa.find(" TPA=\"\""), 7);
    writeFile(file("a.xml"), noTpa);
    CProfile withoutTpa;
    ASSERT_TRUE(loadProfile(file("a.xml"), withoutTpa, error));
    EXPECT_EQ(withoutTpa.value(Setting::TPA), "");
    EXPECT_EQ(withoutTpa.value(Setting::LPF), "5");

    // Without "Device": fails, but keeps the profile's own attributes.
    writeFile(file("b.xml"), "<Profile ProfileID=\"X\" ProfileName=\"Only\" ProfileDesc=\"d\"/>");
    CProfile withoutDevice;
    EXPECT_FALSE(loadProfile(file("b.xml"), withoutDevice, error));
    EXPECT_EQ(error, "has no Device element");
    EXPECT_EQ(withoutDevice.id, "X");
    EXPECT_EQ(withoutDevice.name, "Only");
    EXPECT_EQ(withoutDevice.description, "d");
    EXPECT_EQ(withoutDevice.path, "");

    // Not XML, or another root: fails and the record keeps what it had.
    writeFile(file("c.xml"), "<Profile ProfileName=\"broken\"");
    writeFile(file("d.xml"), "<Other/>");
    CProfile untouched;
    untouched.name = "kept";
    EXPECT_FALSE(loadProfile(file("c.xml"), untouched, error));
    EXPECT_EQ(error.rfind("is not XML", 0), 0u) << error;
    EXPECT_FALSE(loadProfile(file("d.xml"), untouched, error));
    EXPECT_FALSE(loadProfile(file("missing.xml"), untouched, error));
    EXPECT_EQ(untouched.name, "kept");
}

TEST_F(ProfileFile, RenamingRewritesOnlyNameAndDescription) {
    CProfile profile = alderProfile(file("r.xml"));
    std::string error;
    ASSERT_TRUE(writeProfile(profile, error));
    profile.name = "Podcast";
    profile.description = "";
    ASSERT_TRUE(saveNameAndDescription(profile, error)) << error;
    std::string expected = kAlderFile;
    expected.replace(expected.find("Voice &amp; &lt;room>"), 21, "Podcast");
    expected.replace(expected.find("Caf\xC3\xA9 &quot;quiet&quot;"), 23, "");
    EXPECT_EQ(readFile(profile.path), expected);

    // A missing attribute is not added; the declaration as the file has it stays.
    writeFile(file("s.xml"),
              "<?xml version=\"1.0\"?>\n<Profile ProfileName=\"a\"><Device/></Profile>");
    CProfile partial;
    partial.path = file("s.xml").string();
    partial.name = "b";
    partial.description = "ignored";
    ASSERT_TRUE(saveNameAndDescription(partial, error));
    EXPECT_EQ(readFile(partial.path),
              "<?xml version=\"1.0\"?>\n<Profile ProfileName=\"b\">\n\t<Device />\n</Profile>\n");

    // A file that does not parse is left as it is.
    writeFile(file("t.xml"), "<Profile");
    partial.path = file("t.xml").string();
    EXPECT_FALSE(saveNameAndDescription(partial, error));
    EXPECT_EQ(readFile(file("t.xml")), "<Profile");
}

TEST(ProfileValues, TextBecomesTheLowByteOfASignedDecimal) {
    EXPECT_EQ(settingByte("145"), 145);
    EXPECT_EQ(settingByte("  37"), 37);
    EXPECT_EQ(settingByte("300"), 44);
    EXPECT_EQ(settingByte("-1"), 255);
    EXPECT_EQ(settingByte("+7"), 7);
    EXPECT_EQ(settingByte("12abc"), 12);
    EXPECT_EQ(settingByte("abc"), 0);
    EXPECT_EQ(settingByte(""), 0);
    EXPECT_EQ(settingByte("0x10"), 0);
    EXPECT_EQ(settingByte("99999999999999999999"), 0xFF);   // saturates at 0x7FFFFFFF
    EXPECT_EQ(settingByte("-99999999999999999999"), 0x00);  // and at -0x80000000
}

TEST(ProfileRecord, SerialisesItsThirtyOneStringsAsCountedUtf16) {
    CProfile profile;
    profile.path = "\xC3\xA9";  // one UTF-16 unit
    profile.value(Setting::TPA) = "ab";
    const std::vector<std::uint8_t> bytes = profile.serialize();
    ASSERT_EQ(bytes.size(), 31u * 4 + 2 + 4);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 10),
              (std::vector<std::uint8_t>{1, 0, 0, 0, 0xE9, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 8, bytes.end()),
              (std::vector<std::uint8_t>{2, 0, 0, 0, 'a', 0, 'b', 0}));
}

}  // namespace
}  // namespace qm::profiles
