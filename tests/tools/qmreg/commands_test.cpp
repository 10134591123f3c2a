#include <gtest/gtest.h>

#include <sstream>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "tools/qmreg/commands.h"

namespace qm::qmreg {
namespace {

using registry::Access;
using registry::Hive;
using registry::Key;
using registry::Value;
using registry::ValueType;
using Bytes = std::vector<std::uint8_t>;

class QmregCommands : public ::testing::Test {
  protected:
    int qmreg(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return run(args, *fixture_.store, out_, err_);
    }
    Value stored(Hive hive, const std::string& path, const std::string& name) {
        Key key;
        Value value;
        EXPECT_EQ(fixture_.store->openKey(hive, path, Access::Read, key), registry::ERROR_SUCCESS);
        EXPECT_EQ(key.queryValue(name, value), registry::ERROR_SUCCESS);
        return value;
    }

    registry::testing::StoreFixture fixture_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(QmregCommands, SetStoresEveryTypeAsWindowsWould) {
    const std::string key = "HKLM\\SOFTWARE\\QUILLMERE\\qmCore\\Devices";
    ASSERT_EQ(qmreg({"set", key, "LogFolder", "REG_SZ", "C:\\QMLog"}), kExitSuccess) << err_.str();
    ASSERT_EQ(qmreg({"set", key, "Profiles", "REG_EXPAND_SZ", "%HOME%"}), kExitSuccess);
    ASSERT_EQ(qmreg({"set", key, "TimeoutRead", "REG_DWORD", "0x96"}), kExitSuccess);
    ASSERT_EQ(qmreg({"set", key, "Big", "REG_QWORD", "4294967296"}), kExitSuccess);
    ASSERT_EQ(qmreg({"set", key, "Blob", "REG_BINARY", "01 02"}), kExitSuccess);
    ASSERT_EQ(qmreg({"set", key, "Nothing", "REG_NONE", ""}), kExitSuccess);
    EXPECT_TRUE(out_.str().empty());

    const std::string path = "SOFTWARE\\QUILLMERE\\qmCore\\Devices";
    EXPECT_EQ(stored(Hive::LocalMachine, path, "LogFolder"),
              registry::encodeString(ValueType::Sz, "C:\\QMLog"));
    EXPECT_EQ(stored(Hive::LocalMachine, path, "Profiles"),
              registry::encodeString(ValueType::ExpandSz, "%HOME%"));
    EXPECT_EQ(stored(Hive::LocalMachine, path, "TimeoutRead"), registry::encodeDword(150));
    EXPECT_EQ(stored(Hive::LocalMachine, path, "Big"), registry::encodeQword(1ULL << 32));
    EXPECT_EQ(stored(Hive::LocalMachine, path, "Blob"), (Value{ValueType::Binary, Bytes{1, 2}}));
    EXPECT_EQ(stored(Hive::LocalMachine, path, "Nothing"), (Value{ValueType::None, Bytes{}}));
}

TEST_F(QmregCommands, QueryShowsValuesThenSubkeysOrOneValue) {
    ASSERT_EQ(qmreg({"set", "HKCU\\Software\\QUILLMERE\\qmTonecraft\\Settings", "WaveScale",
                     "REG_DWORD", "480"}),
              kExitSuccess);
    ASSERT_EQ(qmreg({"set", "HKCU\\Software\\QUILLMERE\\qmTonecraft", "", "REG_SZ", "studio"}),
              kExitSuccess);
    ASSERT_EQ(qmreg({"query", "HKEY_CURRENT_USER\\Software\\QUILLMERE\\qmTonecraft"}),
              kExitSuccess);
    EXPECT_EQ(out_.str(),
              "HKEY_CURRENT_USER\\Software\\QUILLMERE\\qmTonecraft\n"
              "    (Default)    REG_SZ    studio\n"
              "\n"
              "HKEY_CURRENT_USER\\Software\\QUILLMERE\\qmTonecraft\\Settings\n");

    ASSERT_EQ(
        qmreg({"query", "HKU\\tester\\Software\\QUILLMERE\\qmTonecraft\\Settings", "wavescale"}),
        kExitSuccess);
    EXPECT_EQ(out_.str(),
              "HKEY_USERS\\tester\\Software\\QUILLMERE\\qmTonecraft\\Settings\n"
              "    wavescale    REG_DWORD    0x1e0 (480)\n");
}

// Subkeys come in the order of their lower-cased names: "qm..." before "{...}".
TEST_F(QmregCommands, ExportWritesOneBlockPerKeyDepthFirst) {
    const std::string root = "HKCR\\AppID";
    ASSERT_EQ(qmreg({"set", root + "\\{DCC305A1-68F8-45AE-B455-515142000986}", "", "REG_SZ",
                     "qmMicHost"}),
              kExitSuccess);
    ASSERT_EQ(qmreg({"set", root + "\\{DCC305A1-68F8-45AE-B455-515142000986}", "LocalService",
                     "REG_SZ", "qmMicHost"}),
              kExitSuccess);
    ASSERT_EQ(qmreg({"set", root + "\\qmMicHost.EXE", "AppID", "REG_SZ",
                     "{DCC305A1-68F8-45AE-B455-515142000986}"}),
              kExitSuccess);
    Key appId;
    ASSERT_EQ(fixture_.store->openKey(Hive::ClassesRoot, "AppID\\qmMicHost.EXE", Access::ReadWrite,
                                      appId),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(appId.setValue("Odd", Value{ValueType::Sz, Bytes{'a', 0, 'b'}}),
              registry::ERROR_SUCCESS);

    ASSERT_EQ(qmreg({"export", "HKLM\\SOFTWARE\\Classes"}), kExitSuccess) << err_.str();
    EXPECT_EQ(
        out_.str(),
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AppID]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AppID\\qmMicHost.EXE]\n"
        "\"AppID\"=REG_SZ:\"{DCC305A1-68F8-45AE-B455-515142000986}\"\n"
        "\"Odd\"=REG_SZ:hex:61,00,62\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AppID\\{DCC305A1-68F8-45AE-B455-515142000986}]\n"
        "@=REG_SZ:\"qmMicHost\"\n"
        "\"LocalService\"=REG_SZ:\"qmMicHost\"\n");
}

TEST_F(QmregCommands, DeleteRemovesAValueOrAWholeTree) {
    ASSERT_EQ(qmreg({"set", "HKLM\\Devices\\SN1\\Deep", "LPF", "REG_DWORD", "3"}), kExitSuccess);
    ASSERT_EQ(qmreg({"set", "HKLM\\Devices\\SN1", "Name", "REG_SZ", "Alder"}), kExitSuccess);
    ASSERT_EQ(qmreg({"delete", "HKLM\\Devices\\SN1", "name"}), kExitSuccess);
    EXPECT_EQ(qmreg({"query", "HKLM\\Devices\\SN1", "Name"}), kExitFailed);
    EXPECT_EQ(qmreg({"delete", "HKLM\\Devices\\SN1", "Name"}), kExitFailed);
    EXPECT_NE(err_.str().find("not found (error 2)"), std::string::npos) << err_.str();

    ASSERT_EQ(qmreg({"delete", "HKLM\\devices\\sn1"}), kExitSuccess);
    EXPECT_EQ(qmreg({"query", "HKLM\\Devices\\SN1\\Deep"}), kExitFailed);
    EXPECT_EQ(qmreg({"delete", "HKLM\\Devices\\SN1"}), kExitFailed);
    EXPECT_EQ(qmreg({"delete", "HKLM"}), kExitUsage);
    EXPECT_EQ(qmreg({"query", "HKLM\\Devices"}), kExitSuccess);
}

TEST_F(QmregCommands, BadUsageChangesNothingAndExitsWithTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"query"},
        {"query", "HKLM\\a", "b", "c"},
        {"query", "SOFTWARE\\QUILLMERE"},
        {"set", "HKLM\\a", "b", "REG_SZ"},
        {"set", "HKLM\\a", "b", "REG_MULTI_SZ", "x"},
        {"set", "HKLM\\a", "b", "REG_DWORD", "-1"},
        {"set", "HKLM\\a", "b", "REG_BINARY", "xyz"},
        {"set", "HKXX\\a", "b", "REG_SZ", "x"},
        {"delete"},
        {"export"},
        {"export", "HKLM", "extra"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(qmreg(args), kExitUsage) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(err_.str().empty());
        EXPECT_TRUE(out_.str().empty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(fixture_.folder.path()));
}

TEST_F(QmregCommands, HelpGoesToStandardOutput) {
    EXPECT_EQ(qmreg({"--help"}), kExitSuccess);
    EXPECT_NE(out_.str().find("qmreg export <key>"), std::string::npos);
    EXPECT_TRUE(err_.str().empty());
}

TEST_F(QmregCommands, StoreFailuresExitWithOne) {
    EXPECT_EQ(qmreg({"query", "HKLM\\SOFTWARE"}), kExitFailed);
    EXPECT_EQ(err_.str(),
              "qmreg: HKEY_LOCAL_MACHINE\\SOFTWARE: the key or value was not found (error 2)\n");
    EXPECT_EQ(qmreg({"set", "HKU\\nobody\\Software", "x", "REG_SZ", "y"}), kExitFailed);
    EXPECT_NE(err_.str().find("access denied (error 5)"), std::string::npos) << err_.str();

    registry::testing::writeFileBytes(fixture_.folder.path() / "machine.sqlite", {'b', 'a', 'd'});
    EXPECT_EQ(qmreg({"export", "HKLM"}), kExitFailed);
    EXPECT_NE(err_.str().find("damaged"), std::string::npos) << err_.str();
    EXPECT_EQ(fixture_.diagnostics.lines().size(), 1u);
}

}  // namespace
}  // namespace qm::qmreg
