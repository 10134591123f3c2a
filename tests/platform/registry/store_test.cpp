#include <gtest/gtest.h>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::registry {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

constexpr const char* kDevices = "SOFTWARE\\QUILLMERE\\qmCore\\Devices";

class StoreTest : public ::testing::Test {
  protected:
    Store& store() { return *fixture_.store; }
    Key create(Hive hive, std::string_view path) {
        Key key;
        EXPECT_EQ(store().createKey(hive, path, Access::ReadWrite, key), ERROR_SUCCESS) << path;
        return key;
    }
    Names subkeys(const Key& key) {
        Names names;
        EXPECT_EQ(key.enumSubkeys(names), ERROR_SUCCESS);
        return names;
    }
    Names values(const Key& key) {
        Names names;
        EXPECT_EQ(key.enumValues(names), ERROR_SUCCESS);
        return names;
    }

    testing::StoreFixture fixture_;
};

TEST_F(StoreTest, NamesDifferingOnlyInAsciiCaseAreOneAndKeepTheFirstSpelling) {
    const Key devices = create(Hive::LocalMachine, kDevices);
    const Key again = create(Hive::LocalMachine, "software\\quillmere\\QMCORE\\DEVICES\\SN1001");
    Key software;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, "Software", Access::Read, software),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys(software), Names{"QUILLMERE"});
    EXPECT_EQ(subkeys(devices), Names{"SN1001"});

    ASSERT_EQ(writeString(devices, "LogFolder", "first"), ERROR_SUCCESS);
    ASSERT_EQ(writeString(devices, "LOGFOLDER", "second"), ERROR_SUCCESS);
    EXPECT_EQ(values(devices), Names{"LogFolder"});
    EXPECT_EQ(readString(devices, "logfolder"), "second");
    ASSERT_EQ(devices.deleteValue("LOGfolder"), ERROR_SUCCESS);
    EXPECT_TRUE(values(devices).empty());
}

TEST_F(StoreTest, LettersOutsideAsciiCompareExactly) {
    const Key root = create(Hive::CurrentUser, "Software");
    Key upper;
    Key lower;
    ASSERT_EQ(root.createSubkey("\xC3\x89t\xC3\xA9", Access::ReadWrite, upper), ERROR_SUCCESS);
    ASSERT_EQ(root.createSubkey("\xC3\xA9t\xC3\xA9", Access::ReadWrite, lower), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(root).size(), 2u);
    ASSERT_EQ(writeDword(upper, "\xC3\x89", 1), ERROR_SUCCESS);
    EXPECT_EQ(readDword(upper, "\xC3\xA9"), std::nullopt);
}

TEST_F(StoreTest, DefaultValueHasTheEmptyName) {
    const Key key = create(Hive::ClassesRoot, "AppID\\qmMicHost.EXE");
    ASSERT_EQ(writeString(key, "", "qmMicHost"), ERROR_SUCCESS);
    ASSERT_EQ(writeString(key, "AppID", "{DCC305A1-68F8-45AE-B455-515142000986}"), ERROR_SUCCESS);
    EXPECT_EQ(values(key), (Names{"", "AppID"}));
    EXPECT_EQ(readString(key, ""), "qmMicHost");
}

TEST_F(StoreTest, AnyBytesUnderAnyTypeRoundTripAndPersist) {
    const std::vector<Value> stored = {
        {ValueType::Sz, Bytes(600, 'a')},             // a 600-byte string
        {ValueType::Sz, Bytes{'a', 0, 'b', 0}},       // not terminated
        {ValueType::Sz, Bytes{'a', 0, 0}},            // odd length
        {ValueType::Dword, Bytes{0xFF, 0x01, 0, 0}},  // 0x1FF
        {ValueType::Binary, Bytes{}},                 // empty
        {ValueType::None, Bytes{0, 1, 2}},
        {static_cast<ValueType>(7), Bytes{'x', 0, 0, 0, 0, 0}},  // REG_MULTI_SZ
        {static_cast<ValueType>(0xFFFFFFFF), Bytes{9}},
    };
    {
        const Key key = create(Hive::LocalMachine, kDevices);
        for (std::size_t i = 0; i < stored.size(); ++i) {
            ASSERT_EQ(key.setValue("v" + std::to_string(i), stored[i]), ERROR_SUCCESS);
        }
    }
    fixture_.store = fixture_.makeStore();  // a new store reads the file afresh
    Key key;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, kDevices, Access::Read, key), ERROR_SUCCESS);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        Value read;
        ASSERT_EQ(key.queryValue("v" + std::to_string(i), read), ERROR_SUCCESS);
        EXPECT_EQ(read, stored[i]) << i;
    }
}

TEST_F(StoreTest, ClassesRootIsTheMachineHivesSoftwareClasses) {
    const Key appId = create(Hive::ClassesRoot, "AppID\\{DCC305A1-68F8-45AE-B455-515142000986}");
    ASSERT_EQ(writeString(appId, "LocalService", "qmMicHost"), ERROR_SUCCESS);

    Key machine;
    ASSERT_EQ(store().openKey(Hive::LocalMachine,
                              "SOFTWARE\\Classes\\AppID\\{dcc305a1-68f8-45ae-b455-515142000986}",
                              Access::ReadWrite, machine),
              ERROR_SUCCESS);
    EXPECT_EQ(readString(machine, "LocalService"), "qmMicHost");
    ASSERT_EQ(writeString(machine, "ServiceParameters", "-Service"), ERROR_SUCCESS);
    EXPECT_EQ(readString(appId, "ServiceParameters"), "-Service");

    ASSERT_EQ(store().deleteTree(Hive::ClassesRoot, "AppID"), ERROR_SUCCESS);
    Key gone;
    EXPECT_EQ(store().openKey(Hive::LocalMachine, "SOFTWARE\\Classes\\AppID", Access::Read, gone),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(StoreTest, UsersListsTheKnownUserHivesAndAddressesThem) {
    const Key mine =
        create(Hive::CurrentUser, "Software\\QUILLMERE\\qmTonecraft\\DockingPaneLayouts");
    ASSERT_EQ(writeDword(mine, "Layout", 1), ERROR_SUCCESS);
    {
        Store other(StoreLocations::inFolder(fixture_.folder.path(), "alice"));
        Key theirs;
        ASSERT_EQ(other.createKey(Hive::CurrentUser,
                                  "Software\\QUILLMERE\\qmTonecraft\\DockingPaneLayouts",
                                  Access::ReadWrite, theirs),
                  ERROR_SUCCESS);
    }

    Key users;
    ASSERT_EQ(store().openKey(Hive::Users, "", Access::ReadWrite, users), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(users), (Names{"alice", "tester"}));
    EXPECT_TRUE(values(users).empty());
    EXPECT_EQ(writeDword(users, "x", 1), ERROR_ACCESS_DENIED);

    Key viaUsers;
    ASSERT_EQ(users.openSubkey("TESTER\\Software\\QUILLMERE\\qmTonecraft\\DockingPaneLayouts",
                               Access::Read, viaUsers),
              ERROR_SUCCESS);
    EXPECT_EQ(readDword(viaUsers, "Layout"), 1u);

    // What the studio does at a layout change: the key goes in every user hive.
    for (const std::string& user : subkeys(users)) {
        EXPECT_EQ(store().deleteTree(
                      Hive::Users, user + "\\Software\\QUILLMERE\\qmTonecraft\\DockingPaneLayouts"),
                  ERROR_SUCCESS)
            << user;
    }
    Key gone;
    EXPECT_EQ(
        store().openKey(Hive::Users, "alice\\Software\\QUILLMERE\\qmTonecraft\\DockingPaneLayouts",
                        Access::Read, gone),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(readDword(mine, "Layout"), std::nullopt);

    // Unknown users are neither found nor made; user hives themselves can't be deleted.
    EXPECT_EQ(store().openKey(Hive::Users, "nobody\\Software", Access::Read, gone),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store().createKey(Hive::Users, "nobody\\Software", Access::ReadWrite, gone),
              ERROR_ACCESS_DENIED);
    EXPECT_FALSE(std::filesystem::exists(fixture_.folder.path() / "users" / "nobody.sqlite"));
    EXPECT_EQ(store().deleteTree(Hive::Users, "alice"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(store().deleteTree(Hive::Users, ""), ERROR_ACCESS_DENIED);
}

TEST_F(StoreTest, CurrentUserIsListedUnderUsersBeforeItsHiveExists) {
    Key users;
    ASSERT_EQ(store().openKey(Hive::Users, "", Access::Read, users), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(users), Names{"tester"});
    Key created;
    ASSERT_EQ(store().createKey(Hive::Users, "tester\\Software", Access::ReadWrite, created),
              ERROR_SUCCESS);
    Key viaCurrentUser;
    EXPECT_EQ(store().openKey(Hive::CurrentUser, "SOFTWARE", Access::Read, viaCurrentUser),
              ERROR_SUCCESS);
}

TEST_F(StoreTest, DeleteTreeRemovesTheKeyAndEveryDescendant) {
    const Key deep = create(Hive::LocalMachine, "Devices\\SN1001\\Sub\\Deeper");
    const Key sibling = create(Hive::LocalMachine, "Devices\\SN1002");
    ASSERT_EQ(writeDword(deep, "LPF", 3), ERROR_SUCCESS);
    ASSERT_EQ(writeDword(sibling, "LPF", 4), ERROR_SUCCESS);
    Key sn1001;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, "Devices\\SN1001", Access::ReadWrite, sn1001),
              ERROR_SUCCESS);
    ASSERT_EQ(writeString(sn1001, "Name", "Alder"), ERROR_SUCCESS);

    ASSERT_EQ(store().deleteTree(Hive::LocalMachine, "devices\\sn1001"), ERROR_SUCCESS);
    Key devices;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, "Devices", Access::Read, devices), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(devices), Names{"SN1002"});
    EXPECT_EQ(readDword(sibling, "LPF"), 4u);

    // Recreated keys start empty: nothing of the deleted tree comes back.
    const Key reborn = create(Hive::LocalMachine, "Devices\\SN1001\\Sub\\Deeper");
    EXPECT_TRUE(values(reborn).empty());
    Key rebornParent;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, "Devices\\SN1001", Access::Read, rebornParent),
              ERROR_SUCCESS);
    EXPECT_TRUE(values(rebornParent).empty());

    EXPECT_EQ(store().deleteTree(Hive::LocalMachine, "Devices\\SN9999"), ERROR_FILE_NOT_FOUND);
}

TEST_F(StoreTest, DeleteTreeWithoutPathEmptiesTheKeyButKeepsIt) {
    const Key devices = create(Hive::LocalMachine, kDevices);
    Key child;
    ASSERT_EQ(devices.createSubkey("SN1\\Inner", Access::ReadWrite, child), ERROR_SUCCESS);
    ASSERT_EQ(writeDword(devices, "DeviceMode", 1), ERROR_SUCCESS);
    ASSERT_EQ(writeDword(child, "LPF", 1), ERROR_SUCCESS);

    ASSERT_EQ(devices.deleteTree(""), ERROR_SUCCESS);
    EXPECT_TRUE(subkeys(devices).empty());
    EXPECT_TRUE(values(devices).empty());
    EXPECT_EQ(writeDword(devices, "DeviceMode", 0), ERROR_SUCCESS);
    EXPECT_EQ(readDword(child, "LPF"), std::nullopt);
}

TEST_F(StoreTest, ReadOnlyHandleRefusesEveryWrite) {
    create(Hive::LocalMachine, kDevices);
    Key writable;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, kDevices, Access::ReadWrite, writable),
              ERROR_SUCCESS);
    ASSERT_EQ(writeDword(writable, "TimeoutRead", 150), ERROR_SUCCESS);
    ASSERT_EQ(writable.createSubkey("SN1", Access::ReadWrite, writable), ERROR_SUCCESS);

    Key readOnly;
    ASSERT_EQ(store().openKey(Hive::LocalMachine, kDevices, Access::Read, readOnly), ERROR_SUCCESS);
    EXPECT_EQ(readOnly.access(), Access::Read);
    EXPECT_EQ(writeDword(readOnly, "TimeoutRead", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(writeString(readOnly, "LogFolder", "x"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readOnly.deleteValue("TimeoutRead"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readOnly.deleteTree("SN1"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readOnly.deleteTree(""), ERROR_ACCESS_DENIED);
    Key sub;
    EXPECT_EQ(readOnly.createSubkey("New", Access::ReadWrite, sub), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(sub.valid());
    EXPECT_EQ(readOnly.createSubkey("sn1", Access::Read, sub), ERROR_SUCCESS);  // exists: opens

    EXPECT_EQ(readDword(readOnly, "TimeoutRead"), 150u);
    EXPECT_EQ(subkeys(readOnly), Names{"SN1"});
}

TEST_F(StoreTest, KeyDeletedUnderAnOpenHandleReportsKeyDeleted) {
    const Key device = create(Hive::LocalMachine, std::string(kDevices) + "\\SN1001");
    ASSERT_EQ(writeDword(device, "LPF", 3), ERROR_SUCCESS);

    // Another program deletes the key.
    {
        Store other(StoreLocations::inFolder(fixture_.folder.path(), "tester"));
        ASSERT_EQ(other.deleteTree(Hive::LocalMachine, std::string(kDevices) + "\\SN1001"),
                  ERROR_SUCCESS);
    }
    Value value;
    EXPECT_EQ(device.queryValue("LPF", value), ERROR_KEY_DELETED);
    EXPECT_EQ(readDword(device, "LPF"), std::nullopt);
    EXPECT_EQ(writeDword(device, "LPF", 4), ERROR_KEY_DELETED);
    EXPECT_EQ(device.deleteValue("LPF"), ERROR_KEY_DELETED);
    EXPECT_EQ(device.deleteTree(""), ERROR_KEY_DELETED);
    Names names;
    EXPECT_EQ(device.enumValues(names), ERROR_KEY_DELETED);
    EXPECT_EQ(device.enumSubkeys(names), ERROR_KEY_DELETED);
    Key child;
    EXPECT_EQ(device.createSubkey("Child", Access::ReadWrite, child), ERROR_KEY_DELETED);

    // A new key of the same name is not the old one, and the failed writes left nothing in it.
    const Key reborn = create(Hive::LocalMachine, std::string(kDevices) + "\\SN1001");
    EXPECT_EQ(device.queryValue("LPF", value), ERROR_KEY_DELETED);
    EXPECT_TRUE(values(reborn).empty());
    EXPECT_TRUE(subkeys(reborn).empty());
}

TEST_F(StoreTest, EmptyHandleGivesInvalidHandle) {
    Key key;
    Value value;
    Names names;
    Key out;
    EXPECT_FALSE(key.valid());
    EXPECT_EQ(key.queryValue("x", value), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.setValue("x", encodeDword(1)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.deleteValue("x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.deleteTree("x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.enumSubkeys(names), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.enumValues(names), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.openSubkey("x", Access::Read, out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.createSubkey("x", Access::Read, out), ERROR_INVALID_HANDLE);

    Key closed = create(Hive::LocalMachine, "A");
    closed.close();
    EXPECT_EQ(closed.queryValue("x", value), ERROR_INVALID_HANDLE);
}

TEST_F(StoreTest, OpeningNeverCreatesHiveFilesAndCreatingLeavesNoTemporaries) {
    Key key;
    EXPECT_EQ(store().openKey(Hive::LocalMachine, kDevices, Access::ReadWrite, key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store().openKey(Hive::CurrentUser, "", Access::Read, key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store().deleteTree(Hive::LocalMachine, kDevices), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(std::filesystem::is_empty(fixture_.folder.path()));

    create(Hive::LocalMachine, kDevices);
    for (const auto& entry : std::filesystem::directory_iterator(fixture_.folder.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "machine.sqlite" || name == "machine.sqlite-wal" ||
                    name == "machine.sqlite-shm")
            << name;
    }
    EXPECT_TRUE(fixture_.diagnostics.lines().empty());
}

TEST_F(StoreTest, NewHiveFilesTakeTheirFoldersGroupAccess) {
    using std::filesystem::perms;
    const auto shared = fixture_.folder.path() / "shared";
    const auto personal = fixture_.folder.path() / "personal";
    std::filesystem::create_directory(shared);
    std::filesystem::create_directory(personal);
    std::filesystem::permissions(
        shared, perms::owner_all | perms::group_all | perms::others_read | perms::others_exec);
    std::filesystem::permissions(personal, perms::owner_all);

    StoreLocations locations = StoreLocations::inFolder(shared, "tester");
    locations.currentUserHive = personal / "registry.sqlite";
    Store store(locations);
    Key key;
    ASSERT_EQ(store.createKey(Hive::LocalMachine, "SOFTWARE", Access::ReadWrite, key),
              ERROR_SUCCESS);
    ASSERT_EQ(store.createKey(Hive::CurrentUser, "Software", Access::ReadWrite, key),
              ERROR_SUCCESS);
    EXPECT_EQ(std::filesystem::status(shared / "machine.sqlite").permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::group_write |
                  perms::others_read);
    EXPECT_EQ(std::filesystem::status(personal / "registry.sqlite").permissions(),
              perms::owner_read | perms::owner_write);
}

TEST_F(StoreTest, EnumerationOrder) {
    const Key root = create(Hive::LocalMachine, "Order");
    Key sub;
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2"}) {
        ASSERT_EQ(root.createSubkey(name, Access::Read, sub), ERROR_SUCCESS);
    }
    EXPECT_EQ(subkeys(root), (Names{"Alpha", "ALPHA2", "beta", "gamma"}));
    for (const char* name : {"z", "a", "m"}) {
        ASSERT_EQ(writeDword(root, name, 1), ERROR_SUCCESS);
    }
    ASSERT_EQ(writeDword(root, "A", 2), ERROR_SUCCESS);  // rewriting keeps the place
    EXPECT_EQ(values(root), (Names{"z", "a", "m"}));
}

TEST_F(StoreTest, HandlesMayBeReusedAsOutParametersAndOutliveTheStore) {
    Key key = create(Hive::LocalMachine, "SOFTWARE");
    ASSERT_EQ(key.createSubkey("QUILLMERE\\qmCore", Access::ReadWrite, key), ERROR_SUCCESS);
    ASSERT_EQ(writeString(key, "ProfileFolder", "/var/lib/quillmere/profiles"), ERROR_SUCCESS);
    ASSERT_EQ(key.openSubkey("Missing", Access::Read, key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.valid());

    Key kept;
    ASSERT_EQ(
        store().openKey(Hive::LocalMachine, "software\\quillmere\\qmcore", Access::ReadWrite, kept),
        ERROR_SUCCESS);
    fixture_.store.reset();
    EXPECT_EQ(readString(kept, "ProfileFolder"), "/var/lib/quillmere/profiles");
    EXPECT_EQ(writeDword(kept, "After", 1), ERROR_SUCCESS);
}

TEST_F(StoreTest, OverlongKeyNamesAreRefused) {
    Key key;
    EXPECT_EQ(store().createKey(Hive::LocalMachine, std::string(256, 'k'), Access::ReadWrite, key),
              ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace qm::registry
