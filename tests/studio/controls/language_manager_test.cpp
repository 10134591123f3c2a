#include <gtest/gtest.h>

#include <QFile>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/language_manager.h"
#include "studio/controls/temp_registry.h"

namespace qm::studio::controls {
namespace {

constexpr const char* kSettings = "Software\\QUILLMERE\\qmTonecraft\\Settings";

class LanguageManagerTest : public ::testing::Test {
  protected:
    QString folder() const { return QString::fromStdString(registry_.folder.path().string()); }
    LanguageManager make() {
        return LanguageManager(*registry_.store, kSettings, "UILanguage", folder(),
                               QStringLiteral("qmTonecraft"));
    }
    void storeLanguage(std::uint32_t id) {
        registry::Key key;
        ASSERT_EQ(registry_.store->createKey(registry::Hive::CurrentUser, kSettings,
                                             registry::Access::ReadWrite, key),
                  registry::ERROR_SUCCESS);
        ASSERT_EQ(registry::writeDword(key, "UILanguage", id), registry::ERROR_SUCCESS);
    }

    testing::TempRegistry registry_;
};

TEST_F(LanguageManagerTest, WithoutTranslationsOnlyDefaultEnglishIsOffered) {
    LanguageManager manager = make();
    manager.initialize(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(manager.translations().size(), 1u);
    EXPECT_EQ(manager.translations()[0].name, QStringLiteral("Default English US"));
    EXPECT_EQ(manager.translations()[0].languageId, 1033u);
    EXPECT_EQ(manager.currentLanguage(), 1033u);
}

TEST_F(LanguageManagerTest, FilesThatAreNoTranslationsAreNotOffered) {
    for (const char* name : {"qmTonecraft_de_DE.qm", "qmTonecraft_xx.qm", "other_fr_FR.qm"}) {
        QFile file(folder() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a translation");
    }
    storeLanguage(1031);
    LanguageManager manager = make();
    manager.initialize();
    EXPECT_EQ(manager.translations().size(), 1u);
    EXPECT_EQ(manager.currentLanguage(), 1033u);  // the stored language isn't available
}

TEST(LanguageIdTest, LocalesMapToWindowsLanguageIdentifiers) {
    EXPECT_EQ(LanguageManager::languageIdOf(QLocale(QLocale::German, QLocale::Germany)), 1031u);
    EXPECT_EQ(LanguageManager::languageIdOf(QLocale(QLocale::German, QLocale::Austria)), 1031u);
    EXPECT_EQ(LanguageManager::languageIdOf(QLocale(QLocale::English, QLocale::UnitedKingdom)),
              2057u);
    EXPECT_EQ(LanguageManager::languageIdOf(QLocale(QLocale::Chinese, QLocale::China)), 2052u);
    EXPECT_EQ(LanguageManager::languageIdOf(QLocale(QLocale::Esperanto)), std::nullopt);
}

}  // namespace
}  // namespace qm::studio::controls
