#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "common/ipc/ipc_result.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/backstage_view.h"
#include "studio/controls/property_grid.h"
#include "studio/shell/backstage_folder_pages.h"
#include "studio/shell/backstage_page_color.h"
#include "studio/shell/backstage_page_device.h"
#include "studio/shell/backstage_page_options.h"
#include "studio/shell/backstage_page_ui.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/frame_fixture.h"

namespace qm::studio::testing {
namespace {

class RecordingProfiles final : public ProfileHooks {
  public:
    void reloadList() override { ++reloads; }
    bool canSave() override { return false; }
    void save() override {}
    bool canApply() override { return false; }
    void apply() override {}
    bool canRename() override { return false; }
    void rename() override {}
    int reloads = 0;
};

class RecordingControl final : public ServiceControlHooks {
  public:
    bool isServiceRunning() override { return true; }
    void start() override {}
    void stop() override {}
    void restart() override { ++restarts; }
    int restarts = 0;
};

class SettingsPagesTest : public FrameFixture {
  protected:
    // The studio stops its hooks when it exits: end it while the recording hooks still live.
    ~SettingsPagesTest() override { app_.reset(); }

    void adjust(StudioEnvironment& environment) override {
        environment.hooks.analysis = &views_;
        environment.hooks.profiles = &profiles_;
        environment.hooks.serviceControl = &control_;
        environment.startNewInstance = [this] {
            ++newInstances_;
            return true;
        };
    }

    CBackstagePageOptions& options(CMainFrame& frame) {
        frame.onCommand(ids::kSystemButton);
        settle();
        auto* page = frame.findChild<CBackstagePageOptions*>();
        EXPECT_NE(page, nullptr);
        return *page;
    }
    template <typename Page>
    Page& subPage(CMainFrame& frame, int button) {
        CBackstagePageOptions& page = options(frame);
        page.tabButton(button)->click();
        return *qobject_cast<Page*>(page.subPage(button));
    }
    RecordingAnalysis views_{[this]() -> const StudioSettings& { return app_->settings(); }};
    RecordingProfiles profiles_;
    RecordingControl control_;
    int newInstances_ = 0;
};

TEST_F(SettingsPagesTest, OneTabButtonIsCheckedAndItsSubPageShown) {
    CMainFrame& frame = start();
    CBackstagePageOptions& page = options(frame);
    EXPECT_EQ(page.chosen(), CBackstagePageOptions::kUserInterface);
    page.tabButton(CBackstagePageOptions::kProfile)->click();
    EXPECT_EQ(page.chosen(), CBackstagePageOptions::kProfile);
    EXPECT_FALSE(page.subPage(CBackstagePageOptions::kUserInterface)->isVisible());
    EXPECT_TRUE(page.subPage(CBackstagePageOptions::kProfile)->isVisible());
    int checked = 0;
    for (const int id : {5028, 5029, 5030, 5031, 5041}) {
        checked += page.tabButton(id)->isChecked() ? 1 : 0;
    }
    EXPECT_EQ(checked, 1);
}

TEST_F(SettingsPagesTest, WithoutTranslationsOnlyDefaultEnglishIsOffered) {
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageUI>(frame, CBackstagePageOptions::kUserInterface);
    ASSERT_EQ(page.languageList()->count(), 1);
    EXPECT_EQ(page.languageList()->itemText(0), QStringLiteral("Default English US"));
    EXPECT_EQ(page.languageList()->itemData(0).toUInt(), 1033u);
    EXPECT_FALSE(page.applyButton()->isEnabled());
}

TEST_F(SettingsPagesTest, ChoosingALanguageStoresItAndRestartsTheStudioOnYes) {
    const std::filesystem::path translations = registry_.folder.path() / "Translations";
    std::filesystem::create_directories(translations);
    std::filesystem::copy_file(QM_TEST_TRANSLATIONS_DIR "/qmTonecraft_de_DE.qm",
                               translations / "qmTonecraft_de_DE.qm");
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageUI>(frame, CBackstagePageOptions::kUserInterface);
    ASSERT_EQ(page.languageList()->count(), 2);
    page.languageList()->setCurrentIndex(1 - page.languageList()->currentIndex());
    const std::uint32_t chosen = page.languageList()->currentData().toUInt();
    ASSERT_TRUE(page.applyButton()->isEnabled());
    page.applyButton()->click();
    EXPECT_FALSE(page.applyButton()->isEnabled());
    EXPECT_EQ(manager().getProfileInt(keys::kSettings, keys::kUiLanguage), chosen);
    ASSERT_EQ(prompts_.questions.size(), 1u);
    EXPECT_TRUE(prompts_.questions[0].text.startsWith(QStringLiteral("To change the language")));
    EXPECT_EQ(newInstances_, 1);
    EXPECT_FALSE(frame.isVisible());
}

TEST_F(SettingsPagesTest, MarkerEqRecoloursAtOnceAndSurvivesARestart) {
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageColor>(frame, CBackstagePageOptions::kColor);
    controls::PropertyGrid& grid = *page.grid();
    EXPECT_FALSE(grid.hasItem(5085)) << "no item for the hold colour";
    EXPECT_EQ(grid.caption(5089), QStringLiteral("Marker EQ"));
    grid.setColorValue(5089, 0x123456);
    EXPECT_EQ(app_->settings().colorSpectrumEq, 0x123456u);
    ASSERT_FALSE(views_.seen.empty());
    EXPECT_EQ(views_.seen.back().colorSpectrumEq, 0x123456u);
    grid.setNumberValue(CBackstagePageColor::kFillItem, 250);
    EXPECT_EQ(app_->settings().spectrumFill, 100u) << "the fill is limited to 100 %";

    app_.reset();
    start();
    EXPECT_EQ(app_->settings().colorSpectrumEq, 0x123456u);
    EXPECT_EQ(app_->settings().spectrumFill, 100u);
}

TEST_F(SettingsPagesTest, LogFolderApplyFollowsTheTextAndReachesTheService) {
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageLOG>(frame, CBackstagePageOptions::kLog);
    QLineEdit& edit = *page.folderEdit();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_FALSE(page.applyButton()->isEnabled());
    QTest::keyClicks(&edit, "x");
    EXPECT_TRUE(page.applyButton()->isEnabled());
    edit.clear();
    QTest::keyClicks(&edit, "/srv/qmlogs");
    page.applyButton()->click();
    settle();
    EXPECT_FALSE(page.applyButton()->isEnabled());
    EXPECT_EQ(registry::readString(devicesKey(), "LogFolder"), "/srv/qmlogs");
    EXPECT_EQ(connector_.service->logFolders, std::vector<std::string>{"/srv/qmlogs"});
}

// A folder the service refuses is said, kept in the field for correcting, and not left stored
// for the service's next start; one the call did not reach stays stored for that start.
TEST_F(SettingsPagesTest, ALogFolderTheServiceRefusesIsSaidAndNotLeftStored) {
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageLOG>(frame, CBackstagePageOptions::kLog);
    const auto applyText = [&](const char* folder) {
        page.folderEdit()->clear();
        QTest::keyClicks(page.folderEdit(), folder);
        page.applyButton()->click();
        settle();
    };
    connector_.service->setLogFolderResult = sdk::E_INVALIDARG;
    applyText("relative/logs");
    EXPECT_TRUE(page.problemLabel()->isVisibleTo(&page));
    EXPECT_TRUE(page.problemLabel()->text().contains("0x80070057"))
        << page.problemLabel()->text().toStdString();
    EXPECT_TRUE(page.applyButton()->isEnabled());
    EXPECT_EQ(page.folderEdit()->text(), "relative/logs");
    EXPECT_EQ(registry::readString(devicesKey(), "LogFolder"), settings::defaultLogFolder());

    connector_.service->setLogFolderResult = ipc::kServiceUnavailable;
    applyText("/srv/later");
    EXPECT_FALSE(page.problemLabel()->isVisibleTo(&page));
    EXPECT_EQ(registry::readString(devicesKey(), "LogFolder"), "/srv/later");
}

TEST_F(SettingsPagesTest, DeviceModeToOneAndBackAsksTwiceAndLeavesZero) {
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageDevice>(frame, CBackstagePageOptions::kDevices);
    EXPECT_EQ(page.modeList()->currentIndex(), 0);
    prompts_.answer = false;
    page.choose(1);
    page.choose(0);
    ASSERT_EQ(prompts_.messages.size(), 2u);
    EXPECT_TRUE(prompts_.messages[1].text.startsWith(QStringLiteral("To apply the changes")));
    ASSERT_EQ(prompts_.questions.size(), 2u);
    EXPECT_EQ(prompts_.questions[1].text, QStringLiteral("Restart the service now ?"));
    EXPECT_EQ(registry::readDword(devicesKey(), "DeviceMode"), 0u);

    prompts_.answer = true;
    page.choose(0);
    settle();
    EXPECT_EQ(prompts_.messages.size(), 2u) << "the same mode needs no explanation";
    EXPECT_EQ(control_.restarts, 1);
}

TEST_F(SettingsPagesTest, ANewProfileFolderGetsItsModelFoldersAndTheListIsReadAgain) {
    CMainFrame& frame = start();
    auto& page = subPage<CBackstagePageProfile>(frame, CBackstagePageOptions::kProfile);
    EXPECT_EQ(page.folderEdit()->text().toStdString(), profiles().string());
    const std::filesystem::path folder = registry_.folder.path() / "elsewhere";
    const int reloads = profiles_.reloads;
    page.folderEdit()->clear();
    QTest::keyClicks(page.folderEdit(), QString::fromStdString(folder.string()));
    page.applyButton()->click();
    EXPECT_EQ(app_->profileFolder(), folder.string());
    EXPECT_EQ(registry::readString(devicesKey(), "ProfileFolder"), folder.string());
    for (const char* model :
         {"Alder", "Birch", "Cedar", "Larch", "Rowan", "CP2114 USB-Audio Bridge"}) {
        EXPECT_TRUE(std::filesystem::is_directory(folder / model)) << model;
    }
    EXPECT_EQ(profiles_.reloads, reloads + 1);
}

}  // namespace
}  // namespace qm::studio::testing
