#include <gtest/gtest.h>

#include <QComboBox>

#include "common/profiles/profile_folder.h"
#include "common/profiles/profile_settings.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/registry_manager.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/controls/temp_registry.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/layout_version.h"
#include "studio/shell/ribbon_layout.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/studio_settings.h"
#include "studio/shell/view_commands.h"

namespace qm::studio::testing {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    registry::Key settingsKey() {
        return createdKey(*registry_.store, registry::Hive::CurrentUser, keys::kSettingsPath);
    }
    StudioSettings readStartup() {
        StudioSettings settings;
        readStartupSettings(settingsKey(), settings);
        return settings;
    }
    std::optional<std::uint32_t> storedSetting(const char* name) {
        return manager_.getProfileInt(keys::kSettings, name);
    }

    TempRegistry registry_;
    controls::RegistryManager manager_{*registry_.store, registry::Hive::CurrentUser,
                                       keys::kUserRoot};
};

TEST_F(SettingsTest, OnlyDwordValuesReplaceDefaults) {
    const registry::Key settings = settingsKey();
    ASSERT_EQ(registry::writeString(settings, "WaveScale", "24"), registry::ERROR_SUCCESS);
    ASSERT_EQ(settings.setValue("SpectrumBound",
                                registry::Value{registry::ValueType::Binary, {100, 0, 0, 0}}),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(settings.setValue("WindowFunc", registry::encodeQword(7)), registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeDword(settings, "SpectrumView", 8), registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeDword(settings, "Test", 1), registry::ERROR_SUCCESS);
    // Read by the frame, not at construction.
    ASSERT_EQ(registry::writeDword(settings, "Preview", 0), registry::ERROR_SUCCESS);

    const StudioSettings read = readStartup();
    EXPECT_EQ(read.waveScale, 480u);
    EXPECT_EQ(read.spectrumBound, 200u);
    EXPECT_EQ(read.windowFunc, 4u);
    EXPECT_EQ(read.spectrumView, 8u);
    EXPECT_EQ(read.test, 1u);
    EXPECT_EQ(read.preview, 1u);
}

TEST_F(SettingsTest, FrameSettingsComeThroughTheRegistryManager) {
    ASSERT_TRUE(manager_.writeProfileColor("Colors", "ColorSpectrumEQ", 0x123456));
    ASSERT_TRUE(manager_.writeProfileInt("Colors", "SpectrumFill", 40));
    ASSERT_TRUE(manager_.writeProfileInt("Settings", "ShowUnactive", 0));
    ASSERT_TRUE(manager_.writeProfileDouble("Options", "VolumeOutput", 0.75));
    ASSERT_TRUE(manager_.writeProfileDouble("Splitter", "Waveform_V", 0.3));
    ASSERT_EQ(registry::writeString(settingsKey(), "Preview", "0"), registry::ERROR_SUCCESS);
    StudioSettings settings;
    readFrameSettings(manager_, settings);
    EXPECT_EQ(settings.colorSpectrumEq, 0x123456u);
    EXPECT_EQ(settings.spectrumFill, 40u);
    EXPECT_EQ(settings.showUnactive, 0u);
    EXPECT_EQ(settings.preview, 1u);
    EXPECT_FLOAT_EQ(settings.volumeOutput, 0.75f);
    EXPECT_DOUBLE_EQ(settings.waveformSplit, 0.3);
}

TEST_F(SettingsTest, OldLayoutVersionRemovesStoredLayoutsOfEveryUserTheCurrentOneKeepsThem) {
    applyLayoutVersion(manager_);
    EXPECT_EQ(manager_.getProfileInt("Settings", "PaneVersion"), 3u) << "a fresh user";
    ASSERT_TRUE(manager_.writeProfileBinary("DockingPaneLayouts\\NormalLayout", "State", {1, 2}));
    applyLayoutVersion(manager_);
    EXPECT_TRUE(manager_.getProfileBinary("DockingPaneLayouts\\NormalLayout", "State"));

    {
        // Another user of the machine, with a layout of an old studio.
        registry::Store other(registry::StoreLocations::inFolder(registry_.folder.path(), "other"));
        other.setDiagnosticSink([](std::string_view) {});
        registry::Key layouts;
        ASSERT_EQ(other.createKey(registry::Hive::CurrentUser,
                                  std::string(keys::kLayoutsPath) + "\\NormalLayout",
                                  registry::Access::ReadWrite, layouts),
                  registry::ERROR_SUCCESS);
    }
    ASSERT_TRUE(manager_.writeProfileInt("Settings", "PaneVersion", 1));
    applyLayoutVersion(manager_);
    EXPECT_EQ(manager_.getProfileInt("Settings", "PaneVersion"), 3u);
    EXPECT_EQ(openStatus(*registry_.store, registry::Hive::CurrentUser, keys::kLayoutsPath),
              registry::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(openStatus(*registry_.store, registry::Hive::Users,
                         std::string("other\\") + keys::kLayoutsPath),
              registry::ERROR_FILE_NOT_FOUND);
}

TEST_F(SettingsTest, ProfileFolderComesFromAValidStringOrTheDefault) {
    const registry::Key devices =
        createdKey(*registry_.store, registry::Hive::LocalMachine, keys::kDevicesPath);
    EXPECT_EQ(profiles::readProfileFolder(devices), settings::defaultProfileFolder());
    ASSERT_EQ(registry::writeDword(devices, "ProfileFolder", 1), registry::ERROR_SUCCESS);
    EXPECT_EQ(profiles::readProfileFolder(devices), settings::defaultProfileFolder());
    ASSERT_EQ(devices.setValue("ProfileFolder",
                               registry::Value{registry::ValueType::Sz, {'a', 0, 'b', 0}}),
              registry::ERROR_SUCCESS);  // not terminated
    EXPECT_EQ(profiles::readProfileFolder(devices), settings::defaultProfileFolder());
    ASSERT_EQ(devices.setValue("ProfileFolder",
                               registry::encodeString(registry::ValueType::ExpandSz, "$HOME/p")),
              registry::ERROR_SUCCESS);
    EXPECT_EQ(profiles::readProfileFolder(devices), "$HOME/p");  // used unchanged
    EXPECT_EQ(profiles::readProfileFolder(*registry_.store), "$HOME/p");
}

TEST_F(SettingsTest, ProfileFoldersCanBeMadeAgainButNotWhereNothingCanBeMade) {
    const auto folder = registry_.folder.path() / "deep" / "profiles";
    EXPECT_TRUE(profiles::ensureProfileFolders(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Alder"));
    EXPECT_TRUE(profiles::ensureProfileFolders(folder));  // existing folders are fine
    EXPECT_FALSE(profiles::ensureProfileFolders("/proc/no-such-folder"));
}

class ViewCommandsTest : public SettingsTest {
  protected:
    bool checked(int id) {
        controls::CommandUi ui;
        EXPECT_TRUE(commands_.updateUi(id, ui)) << id;
        return ui.checked;
    }

    StudioSettings settings_;
    RecordingParts monitoring_;
    ViewCommands commands_{settings_, manager_, &monitoring_};
};

TEST_F(ViewCommandsTest, PressingLpfTwiceRestoresSpectrumLabel) {
    settings_.spectrumLabel = 6;
    EXPECT_FALSE(checked(ids::kMarkerLpf));
    commands_.execute(ids::kMarkerLpf);
    EXPECT_EQ(settings_.spectrumLabel, 7u);
    EXPECT_EQ(storedSetting("SpectrumLabel"), 7u);
    EXPECT_TRUE(checked(ids::kMarkerLpf));
    commands_.execute(ids::kMarkerLpf);
    EXPECT_EQ(settings_.spectrumLabel, 6u);
    EXPECT_EQ(storedSetting("SpectrumLabel"), 6u);
    EXPECT_FALSE(checked(ids::kMarkerLpf));
    EXPECT_TRUE(checked(ids::kMarkerHpf1));
    EXPECT_TRUE(checked(ids::kMarkerHpf2));
    EXPECT_FALSE(checked(ids::kMarkerEq));
    commands_.execute(ids::kMarkerHpf2);
    EXPECT_EQ(settings_.spectrumLabel, 2u) << "each marker toggles its own bit";
}

TEST_F(ViewCommandsTest, ModeButtonsAndPreviewSetTheirValueAndShowWhichHolds) {
    commands_.execute(ids::kWaveLinear);
    EXPECT_EQ(settings_.waveMode, 1u);
    EXPECT_TRUE(checked(ids::kWaveLinear));
    EXPECT_FALSE(checked(ids::kWaveLogarithmic));
    commands_.execute(ids::kSpectrumLine);
    EXPECT_EQ(settings_.spectrumMode, 0u);
    EXPECT_EQ(storedSetting("SpectrumMode"), 0u);
    EXPECT_TRUE(checked(ids::kSpectrumLine));
    EXPECT_FALSE(checked(ids::kSpectrumBar));

    commands_.execute(ids::kViewMax);
    EXPECT_EQ(settings_.spectrumView, 8u);
    EXPECT_EQ(storedSetting("SpectrumView"), 8u);
    EXPECT_TRUE(checked(ids::kViewMax));
    EXPECT_FALSE(checked(ids::kViewMiddle));
    settings_.spectrumView = 3;  // a stored combination shows every view it holds
    EXPECT_TRUE(checked(ids::kViewRealTime));
    EXPECT_TRUE(checked(ids::kViewMiddle));

    EXPECT_TRUE(checked(ids::kPreview));
    commands_.execute(ids::kPreview);
    EXPECT_EQ(settings_.preview, 0u);
    EXPECT_EQ(storedSetting("Preview"), 0u);
    EXPECT_FALSE(checked(ids::kPreview));
    EXPECT_FALSE(commands_.handles(ids::kReset));
}

TEST_F(ViewCommandsTest, CombosStoreDirectlyOnlyIntoAnExistingKey) {
    commands_.comboSelected(ids::kWaveScale, 24);
    EXPECT_EQ(settings_.waveScale, 24u);  // in force at once
    EXPECT_EQ(openStatus(*registry_.store, registry::Hive::CurrentUser, keys::kSettingsPath),
              registry::ERROR_FILE_NOT_FOUND);  // the key isn't created for it

    settingsKey();
    commands_.comboSelected(ids::kWaveScale, 24);
    commands_.comboSelected(ids::kWindowFunction, 9);
    commands_.comboSelected(ids::kSpectrumBound, 120);
    EXPECT_EQ(storedSetting("WaveScale"), 24u);
    EXPECT_EQ(storedSetting("WindowFunc"), 9u);
    EXPECT_EQ(storedSetting("SpectrumBound"), 120u);
    EXPECT_EQ(settings_.spectrumBound, 120u);
    EXPECT_TRUE(monitoring_.called("spectrumBound"));
}

TEST_F(ViewCommandsTest, EveryViewSettingReachesTheAnalysisAtOnce) {
    RecordingAnalysis analysis([this]() -> const StudioSettings& { return settings_; });
    ViewCommands commands(settings_, manager_, nullptr, &analysis);
    commands.execute(ids::kViewRealTime);
    commands.execute(ids::kMarkerEq);
    commands.execute(ids::kSpectrumLine);
    commands.execute(ids::kWaveLinear);
    commands.comboSelected(ids::kWaveScale, 3);
    commands.comboSelected(ids::kWindowFunction, 7);
    commands.comboSelected(ids::kSpectrumBound, 50);
    commands.execute(ids::kPreview);
    ASSERT_EQ(analysis.seen.size(), 7u) << "every view setting, not the preview";
    EXPECT_EQ(analysis.seen[0].spectrumView, 1u);
    EXPECT_EQ(analysis.seen[1].spectrumLabel, 8u);
    EXPECT_EQ(analysis.seen[2].spectrumMode, 0u);
    EXPECT_EQ(analysis.seen[3].waveMode, 1u);
    EXPECT_EQ(analysis.seen[4].waveScale, 3u);
    EXPECT_EQ(analysis.seen[5].windowFunc, 7u);
    EXPECT_EQ(analysis.seen[6].spectrumBound, 50u);
}

TEST_F(SettingsTest, AStoredWaveScaleSelectsItsEntryOrTheFirstWhileStayingInForce) {
    const registry::Key settings = settingsKey();
    ASSERT_EQ(registry::writeDword(settings, "WaveScale", 100), registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeDword(settings, "SpectrumBound", 70), registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeDword(settings, "WindowFunc", 7), registry::ERROR_SUCCESS);
    StudioSettings read = readStartup();
    controls::RibbonBar bar;
    buildRibbon(bar, read, new QWidget());
    EXPECT_EQ(bar.controlAs<QComboBox>(ids::kWaveScale)->currentIndex(), 0);
    EXPECT_EQ(bar.controlAs<QComboBox>(ids::kWaveScale)->currentText(),
              QStringLiteral("1 pixel 480"));
    EXPECT_EQ(read.waveScale, 100u);
    EXPECT_EQ(bar.controlAs<QComboBox>(ids::kSpectrumBound)->currentText(), QStringLiteral("-70"));
    EXPECT_EQ(bar.controlAs<QComboBox>(ids::kWindowFunction)->currentText(),
              QStringLiteral("Gaussian (a=2.5)"));

    // Choosing "20 pixel 24" stores 24, and the next start selects that entry.
    ViewCommands commands(read, manager_, nullptr);
    commands.comboSelected(ids::kWaveScale, 24);
    controls::RibbonBar next;
    buildRibbon(next, readStartup(), new QWidget());
    EXPECT_EQ(next.controlAs<QComboBox>(ids::kWaveScale)->currentText(),
              QStringLiteral("20 pixel 24"));
}

}  // namespace
}  // namespace qm::studio::testing
