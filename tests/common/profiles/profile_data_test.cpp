#include "common/profiles/profile_data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "common/profiles/profile_create.h"
#include "common/profiles/profile_file.h"
#include "common/profiles/profile_folder.h"
#include "common/profiles/profile_library.h"
#include "common/text/text.h"
#include "scripted_device.h"
#include "service/core/device_xml.h"
#include "support/temp_folder.h"

namespace qm::profiles {
namespace {

using settings::Setting;
namespace fs = std::filesystem;

void touch(const fs::path& path, const std::string& text = "") {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> names(const std::vector<std::string>& paths) {
    std::vector<std::string> out;
    for (const auto& p : paths)
        out.push_back(fs::path(p).filename().string());
    return out;
}

class ProfileFolderTest : public ::testing::Test {
  protected:
    fs::path root() const { return folder_.path() / "profiles"; }

    // A microphone whose description is the service's own for that model.
    static void describe(testing::ScriptedDevice& device, const std::string& model) {
        settings::DeviceSettings values;
        for (std::size_t i = 0; i < settings::kSettingCount; ++i)
            values.bytes[i] = static_cast<std::uint8_t>(10 + i);
        device.xml = core::buildDeviceXml({"SN-" + model, "{c}", model, "", ""}, values);
    }

  private:
    qm::testing::TempFolder folder_;
};

TEST_F(ProfileFolderTest, RescanListsXmlFilesByModelInNameOrder) {
    ASSERT_TRUE(ensureProfileFolders(root()));
    touch(root() / "Alder" / "b.xml");
    touch(root() / "Alder" / "A.XML");
    touch(root() / "Alder" / "notes.txt");
    fs::create_directories(root() / "Alder" / "folder.xml");
    fs::create_symlink(root() / "Alder" / "b.xml", root() / "Alder" / "link.xml");
    touch(root() / "Cedar" / "c.xml", "not even XML");  // content is not looked at
    touch(root() / "Oak" / "o.xml");

    CProfileData data;
    data.rescan(root());
    EXPECT_EQ(names(data.paths("Alder")), (std::vector<std::string>{"A.XML", "b.xml"}));
    EXPECT_EQ(data.paths("aLDER"), data.paths(settings::Model::Alder));
    EXPECT_EQ(names(data.paths("Cedar")), std::vector<std::string>{"c.xml"});
    EXPECT_TRUE(data.paths("Larch").empty());
    EXPECT_TRUE(data.paths("Oak").empty());

    // A file that does not parse is still listed, with its path and the reason.
    const auto listed = listProfiles(root());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[2].profile.path, (root() / "Cedar" / "c.xml").string());
    EXPECT_FALSE(listed[2].error.empty());

    EXPECT_TRUE(data.add("birch", "/x/Birch_1.xml"));
    EXPECT_FALSE(data.add("Oak", "/x/Oak_1.xml"));
    EXPECT_EQ(data.paths("Birch"), std::vector<std::string>{"/x/Birch_1.xml"});
}

TEST_F(ProfileFolderTest, RemovingAFileAlreadyDeletedElsewhereLeavesTheListAsItWas) {
    touch(root() / "Alder" / "gone.xml");
    touch(root() / "Alder" / "here.xml");
    CProfileData data;
    data.rescan(root());
    fs::remove(root() / "Alder" / "gone.xml");
    std::string error;
    EXPECT_FALSE(deleteProfile(data, data.paths("Alder")[0], error));
    EXPECT_EQ(data.paths("Alder").size(), 2u);
    EXPECT_TRUE(deleteProfile(data, data.paths("Alder")[1], error)) << error;
    EXPECT_EQ(names(data.paths("Alder")), std::vector<std::string>{"gone.xml"});
    EXPECT_FALSE(fs::exists(root() / "Alder" / "here.xml"));
}

TEST_F(ProfileFolderTest, AProfileSavedFromEachModelCopiesItsDescription) {
    const std::regex id("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    for (const std::string_view product : settings::kProductNames) {
        const std::string model(product);
        testing::ScriptedDevice device;
        describe(device, model);
        std::string error;
        const auto created = createFromDevice(device, root(), "Name " + model, "", error);
        ASSERT_TRUE(created) << model << ": " << error;
        EXPECT_TRUE(std::regex_match(created->id, id)) << created->id;
        EXPECT_EQ(created->path, (root() / model / (model + "_" + created->id + ".xml")).string());

        CProfile loaded;
        ASSERT_TRUE(loadProfile(created->path, loaded, error)) << error;
        EXPECT_EQ(loaded, *created);
        EXPECT_EQ(loaded.serial, "SN-" + model);
        EXPECT_EQ(loaded.value(Setting::LPF), "13");
        EXPECT_EQ(loaded.value(Setting::ALC_VOLUME), "");  // never in a description
        const auto m = settings::modelFromProductName(model);
        for (const Setting s : {Setting::DirVolume, Setting::OUT_VOLUME, Setting::TPA}) {
            const bool shown = settings::hasSetting(m, s, settings::Place::DeviceXml);
            EXPECT_EQ(loaded.value(s).empty(), !shown) << model << " " << profileAttribute(s);
        }
    }
}

TEST_F(ProfileFolderTest, SavingFailsWithoutADescriptionOrAKnownModel) {
    testing::ScriptedDevice device;
    device.xmlResult = sdk::E_NOINTERFACE;
    std::string error;
    EXPECT_FALSE(createFromDevice(device, root(), "n", "d", error));
    EXPECT_EQ(error, "Device isn't ready!");

    describe(device, "Oak");
    device.xmlResult = sdk::S_OK;
    EXPECT_FALSE(createFromDevice(device, root(), "n", "d", error));
    EXPECT_FALSE(fs::exists(root()));
}

TEST_F(ProfileFolderTest, AnImportedFileKeepsItsIdentifierUnlessItClashes) {
    testing::ScriptedDevice device;
    describe(device, "Larch");
    std::string error;
    const auto original = createFromDevice(device, root(), "Room", "", error);
    ASSERT_TRUE(original);
    const fs::path exported = root().parent_path() / "exported.xml";
    fs::copy_file(original->path, exported);

    // On another machine (another folder) it keeps its identifier.
    const fs::path other = root().parent_path() / "other";
    const auto moved = importProfile(other, exported, error);
    ASSERT_TRUE(moved) << error;
    EXPECT_FALSE(moved->newId);
    EXPECT_EQ(moved->profile.id, original->id);
    EXPECT_EQ(findProfile(other, text::asciiLowerCopy(original->id))->path, moved->profile.path);

    // Here it clashes with the original, so the copy gets a new one, in its file too.
    const auto copy = importProfile(root(), exported, error);
    ASSERT_TRUE(copy) << error;
    EXPECT_TRUE(copy->newId);
    EXPECT_EQ(copy->previousId, original->id);
    EXPECT_NE(copy->profile.id, original->id);
    EXPECT_EQ(findProfile(root(), copy->profile.id)->name, "Room");
    EXPECT_EQ(findProfile(root(), original->id)->path, original->path);

    touch(exported, "<Profile ProfileID=\"1\"><Device Name=\"Oak\"/></Profile>");
    EXPECT_FALSE(importProfile(root(), exported, error));
}

}  // namespace
}  // namespace qm::profiles
