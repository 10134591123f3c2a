#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::registry {
namespace {

using testing::readFileBytes;
using testing::writeFileBytes;

std::vector<char> garbage(std::size_t size) {
    std::vector<char> bytes(size);
    std::uint32_t state = 0x2545F491;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class DamagedStore : public ::testing::Test {
  protected:
    std::filesystem::path machineFile() const { return fixture_.folder.path() / "machine.sqlite"; }

    // Every way of reaching the machine hive fails cleanly, the problem is reported once, and
    // the file and its folder stay exactly as they were.
    void expectReportedAndUntouched(long expectedStatus) {
        const std::vector<char> before = readFileBytes(machineFile());
        const auto entriesBefore = folderEntries(fixture_.folder.path());
        Store& store = *fixture_.store;

        for (int attempt = 0; attempt < 3; ++attempt) {
            Key key;
            EXPECT_EQ(store.openKey(Hive::LocalMachine, "SOFTWARE", Access::Read, key),
                      expectedStatus);
            EXPECT_FALSE(key.valid());
            EXPECT_EQ(readString(key, "LogFolder"), std::nullopt);
            EXPECT_EQ(
                store.createKey(Hive::LocalMachine, "SOFTWARE\\QUILLMERE", Access::ReadWrite, key),
                expectedStatus);
            EXPECT_EQ(store.createKey(Hive::ClassesRoot, "AppID", Access::ReadWrite, key),
                      expectedStatus);
            EXPECT_EQ(store.deleteTree(Hive::LocalMachine, "SOFTWARE"), expectedStatus);
        }

        const auto lines = fixture_.diagnostics.lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(machineFile().string()), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find("left as it is"), std::string::npos) << lines[0];
        EXPECT_EQ(readFileBytes(machineFile()), before);
        EXPECT_EQ(folderEntries(fixture_.folder.path()), entriesBefore);

        // The other hives are not affected.
        Key user;
        EXPECT_EQ(store.createKey(Hive::CurrentUser, "Software", Access::ReadWrite, user),
                  ERROR_SUCCESS);
    }

    testing::StoreFixture fixture_;
};

TEST_F(DamagedStore, GarbageFileIsReportedAndLeftAlone) {
    writeFileBytes(machineFile(), garbage(8192));
    expectReportedAndUntouched(ERROR_BADDB);
}

TEST_F(DamagedStore, ShortGarbageAndEmptyFilesAreNotHives) {
    writeFileBytes(machineFile(), {'n', 'o', 't', ' ', 'a', ' ', 'h', 'i', 'v', 'e'});
    expectReportedAndUntouched(ERROR_BADDB);
}

TEST_F(DamagedStore, EmptyFileIsNotTakenForANewHive) {
    writeFileBytes(machineFile(), {});
    expectReportedAndUntouched(ERROR_BADDB);
    EXPECT_EQ(std::filesystem::file_size(machineFile()), 0u);
}

TEST_F(DamagedStore, ForeignDatabaseIsNotAHive) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(machineFile().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('mine');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectReportedAndUntouched(ERROR_BADDB);
}

TEST_F(DamagedStore, HiveWithDamagedPagesIsReported) {
    {
        Key key;
        ASSERT_EQ(
            fixture_.store->createKey(Hive::LocalMachine, "SOFTWARE\\Data", Access::ReadWrite, key),
            ERROR_SUCCESS);
        for (int i = 0; i < 300; ++i) {
            ASSERT_EQ(writeString(key, "Value" + std::to_string(i), std::string(100, 'v')),
                      ERROR_SUCCESS);
        }
    }
    fixture_.store = fixture_.makeStore();  // closing the last connection folds the WAL in
    ASSERT_FALSE(std::filesystem::exists(fixture_.folder.path() / "machine.sqlite-wal"));
    std::vector<char> bytes = readFileBytes(machineFile());
    constexpr std::ptrdiff_t kPage = 4096;
    ASSERT_GT(bytes.size(), static_cast<std::size_t>(3 * kPage));
    const std::vector<char> noise = garbage(kPage);
    std::copy(noise.begin(), noise.end(), bytes.begin() + 2 * kPage);
    writeFileBytes(machineFile(), bytes);

    expectReportedAndUntouched(ERROR_BADDB);
}

TEST_F(DamagedStore, UnreadableFileIsReportedAndLeftAlone) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "running as root: file permissions do not stop root from reading";
    }
    {
        Key key;
        ASSERT_EQ(fixture_.store->createKey(Hive::LocalMachine, "SOFTWARE", Access::ReadWrite, key),
                  ERROR_SUCCESS);
    }
    fixture_.store = fixture_.makeStore();
    std::filesystem::permissions(machineFile(), std::filesystem::perms::none);
    expectReportedAndUntouched(ERROR_ACCESS_DENIED);
    std::filesystem::permissions(
        machineFile(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(DamagedStore, ReadOnlyFileServesReadersAndRefusesWriters) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "running as root: file permissions do not stop root from writing";
    }
    {
        Key key;
        ASSERT_EQ(fixture_.store->createKey(Hive::LocalMachine, "SOFTWARE\\QUILLMERE",
                                            Access::ReadWrite, key),
                  ERROR_SUCCESS);
        ASSERT_EQ(writeDword(key, "DeviceMode", 1), ERROR_SUCCESS);
    }
    fixture_.store = fixture_.makeStore();
    std::filesystem::permissions(machineFile(), std::filesystem::perms::owner_read);
    const std::vector<char> before = readFileBytes(machineFile());

    Store& store = *fixture_.store;
    Key key;
    EXPECT_EQ(store.openKey(Hive::LocalMachine, "SOFTWARE\\QUILLMERE", Access::ReadWrite, key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(store.createKey(Hive::LocalMachine, "SOFTWARE\\New", Access::ReadWrite, key),
              ERROR_ACCESS_DENIED);
    ASSERT_EQ(store.createKey(Hive::LocalMachine, "SOFTWARE\\QUILLMERE", Access::Read, key),
              ERROR_SUCCESS);
    EXPECT_EQ(readDword(key, "DeviceMode"), 1u);
    EXPECT_EQ(store.deleteTree(Hive::LocalMachine, "SOFTWARE"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readFileBytes(machineFile()), before);
}

TEST_F(DamagedStore, DefaultSinkWritesOneLineToStandardError) {
    writeFileBytes(machineFile(), garbage(100));
    Store store(StoreLocations::inFolder(fixture_.folder.path(), "tester"));
    ::testing::internal::CaptureStderr();
    Key key;
    EXPECT_EQ(store.openKey(Hive::LocalMachine, "", Access::Read, key), ERROR_BADDB);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find(machineFile().string()), std::string::npos) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
}

}  // namespace
}  // namespace qm::registry
