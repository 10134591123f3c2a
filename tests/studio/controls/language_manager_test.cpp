#include <gtest/gtest.h>

#include <QFile>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/language_manager.h"
#include "studio/controls/temp_registry.h"

namespace qm::studio::controls {
namespace {

constexpr const char* kSettings = "Software\\QUILLMERE\\qmTonecraft\\Settings";

TEST(LanguageManagerTest, FilesThatAreNoTranslationsAreNotOffered) {
    testing::TempRegistry registry;
    const QString folder = QString::fromStdString(registry.folder.path().string());
    for (const char* name : {"qmTonecraft_de_DE.qm", "qmTonecraft_xx.qm", "other_fr_FR.qm"}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a translation");
    }
    const registry::Key key =
        testing::createdKey(*registry.store, registry::Hive::CurrentUser, kSettings);
    ASSERT_EQ(registry::writeDword(key, "UILanguage", 1031), registry::ERROR_SUCCESS);
    LanguageManager manager(*registry.store, kSettings, "UILanguage", folder,
                            QStringLiteral("qmTonecraft"));
    manager.initialize();
    EXPECT_EQ(manager.translations().size(), 1u);
    EXPECT_EQ(manager.currentLanguage(), 1033u);  // the stored language isn't available
}

}  // namespace
}  // namespace qm::studio::controls
