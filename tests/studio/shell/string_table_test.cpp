#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/language_manager.h"
#include "studio/controls/temp_registry.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/wait_dialog.h"

namespace qm::studio::testing {
namespace {

TEST(WaitDialogTest, DestroyingItEnablesItsOwnerAgain) {
    QWidget owner;
    auto* dialog = new CWaitDialog(QStringLiteral("Wait"), &owner);
    owner.setEnabled(false);
    delete dialog;
    EXPECT_TRUE(owner.isEnabled());
}

// The translation built for the tests: German texts for strings 3006 and 3080.
TEST(StringTableTest, TheChosenTranslationReplacesTexts) {
    TempRegistry registry;
    const QString folder = QStringLiteral(QM_TEST_TRANSLATIONS_DIR);
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("/qmTonecraft_de_DE.qm")));
    {
        const registry::Key key =
            createdKey(*registry.store, registry::Hive::CurrentUser, keys::kSettingsPath);
        ASSERT_EQ(registry::writeDword(key, keys::kUiLanguage, 1031), registry::ERROR_SUCCESS);
        controls::LanguageManager languages(*registry.store, keys::kSettingsPath, keys::kUiLanguage,
                                            folder, QStringLiteral("qmTonecraft"));
        languages.initialize(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(languages.currentLanguage(), 1031u);
        ASSERT_EQ(languages.translations().size(), 2u);
        EXPECT_EQ(languages.translations()[0].name, QStringLiteral("Default English US"));
        EXPECT_EQ(languages.translations()[1].languageId, 1031u);
        EXPECT_EQ(languages.translations()[1].name, QStringLiteral("Deutsch (Deutschland)"));
        EXPECT_EQ(loadString(3080), QStringLiteral("Inaktive anzeigen"));
        EXPECT_EQ(loadString(3743), QStringLiteral("The qmMicHost service was completed!"));
    }
    EXPECT_EQ(loadString(3080), QStringLiteral("Show unactive"));  // translator removed
}

TEST(StringTableTest, WithoutAStoredChoiceTheSystemLanguageIsTakenWhenTranslated) {
    TempRegistry registry;
    controls::LanguageManager german(*registry.store, keys::kSettingsPath, keys::kUiLanguage,
                                     QStringLiteral(QM_TEST_TRANSLATIONS_DIR),
                                     QStringLiteral("qmTonecraft"));
    german.initialize(QLocale(QLocale::German, QLocale::Austria));
    EXPECT_EQ(german.currentLanguage(), 1031u);

    TempRegistry other;
    controls::LanguageManager french(*other.store, keys::kSettingsPath, keys::kUiLanguage,
                                     QStringLiteral(QM_TEST_TRANSLATIONS_DIR),
                                     QStringLiteral("qmTonecraft"));
    french.initialize(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(french.currentLanguage(), 1033u);
}

}  // namespace
}  // namespace qm::studio::testing
