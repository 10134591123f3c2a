#include <gtest/gtest.h>

#include "tools/qmreg/key_name.h"

namespace qm::qmreg {
namespace {

using registry::Hive;

TEST(KeyName, AcceptsShortAndLongHiveNamesInAnyCase) {
    auto key = parseKeyName("HKLM\\SOFTWARE\\QUILLMERE\\qmCore\\Devices");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->hive, Hive::LocalMachine);
    EXPECT_EQ(key->path, "SOFTWARE\\QUILLMERE\\qmCore\\Devices");
    EXPECT_EQ(parseKeyName("hkey_current_user\\Software")->hive, Hive::CurrentUser);
    EXPECT_EQ(parseKeyName("HKCR\\AppID")->hive, Hive::ClassesRoot);
    EXPECT_EQ(parseKeyName("HKEY_CLASSES_ROOT")->hive, Hive::ClassesRoot);
    EXPECT_EQ(parseKeyName("hku")->hive, Hive::Users);
    EXPECT_EQ(parseKeyName("HKU")->path, "");
}

TEST(KeyName, DropsEmptyPartsAndRejectsUnknownHivesAndOverlongNames) {
    EXPECT_EQ(parseKeyName("HKLM\\\\a\\b\\")->path, "a\\b");
    EXPECT_FALSE(parseKeyName("HKLMX\\a"));
    EXPECT_FALSE(parseKeyName("SOFTWARE\\QUILLMERE"));
    EXPECT_FALSE(parseKeyName(""));
    EXPECT_FALSE(parseKeyName("HKLM\\" + std::string(256, 'k')));
}

TEST(KeyName, FullNamesUseTheLongHiveName) {
    EXPECT_EQ(fullKeyName({Hive::Users, "alice\\Software"}), "HKEY_USERS\\alice\\Software");
    EXPECT_EQ(fullKeyName({Hive::LocalMachine, ""}), "HKEY_LOCAL_MACHINE");
}

}  // namespace
}  // namespace qm::qmreg
