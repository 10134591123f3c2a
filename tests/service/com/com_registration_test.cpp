#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "com_test_support.h"
#include "common/sdk/identifiers.h"
#include "common/text/text.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "service/com/com_registration.h"
#include "service/com/security_descriptor.h"

namespace qm::com {
namespace {

using registry::Access;
using registry::Hive;
using registry::Key;
using registry::Value;
using registry::ValueType;
using testing::TempFolder;

constexpr const char* kAppIdKey = "AppID\\{DCC305A1-68F8-45AE-B455-515142000986}";

class ComRegistrationTest : public ::testing::Test {
  protected:
    ComRegistrationTest()
        : store_(registry::StoreLocations::inFolder(folder_.path(), "tester")),
          registration_(store_) {}

    Key open(const std::string& path) {
        Key key;
        EXPECT_EQ(store_.openKey(Hive::ClassesRoot, path, Access::Read, key),
                  registry::ERROR_SUCCESS)
            << path;
        return key;
    }
    bool exists(const std::string& path) {
        Key key;
        return store_.openKey(Hive::ClassesRoot, path, Access::Read, key) ==
               registry::ERROR_SUCCESS;
    }
    std::string text(const std::string& path, const std::string& name = "") {
        return registry::readString(open(path), name).value_or("<missing>");
    }
    std::set<std::string> subkeys(const std::string& path) {
        std::vector<std::string> names;
        EXPECT_EQ(open(path).enumSubkeys(names), registry::ERROR_SUCCESS) << path;
        return {names.begin(), names.end()};
    }
    std::vector<std::string> values(const std::string& path) {
        std::vector<std::string> names;
        EXPECT_EQ(open(path).enumValues(names), registry::ERROR_SUCCESS) << path;
        return names;
    }
    void setLocalService(const Value& value) {
        Key key;
        ASSERT_EQ(store_.createKey(Hive::ClassesRoot, kAppIdKey, Access::ReadWrite, key),
                  registry::ERROR_SUCCESS);
        ASSERT_EQ(key.setValue("LocalService", value), registry::ERROR_SUCCESS);
    }

    TempFolder folder_;
    registry::Store store_;
    ComRegistration registration_;
};

TEST_F(ComRegistrationTest, TheAppIdWithItsPermissions) {
    ASSERT_EQ(registration_.registerAppId(), sdk::S_OK);
    EXPECT_EQ(text(kAppIdKey), "qmMicHost");
    for (const auto& [name, expected] : {std::pair{"AccessPermission", appIdAccessPermission()},
                                         std::pair{"LaunchPermission", appIdLaunchPermission()}}) {
        Value value;
        ASSERT_EQ(open(kAppIdKey).queryValue(name, value), registry::ERROR_SUCCESS) << name;
        EXPECT_EQ(value.type, ValueType::Binary) << name;
        const auto decoded = decodeSelfRelative(value.data);
        ASSERT_TRUE(decoded.has_value()) << name;
        EXPECT_EQ(*decoded, expected) << name;
    }
    EXPECT_EQ(text("AppID\\qmMicHost.EXE", "AppID"), "{DCC305A1-68F8-45AE-B455-515142000986}");
}

TEST_F(ComRegistrationTest, TheServiceValuesAreStringsWithTheirTerminators) {
    ASSERT_EQ(registration_.registerAppId(), sdk::S_OK);
    setLocalService(registry::encodeDword(7));  // whatever was there goes first
    ASSERT_EQ(registration_.registerService("qmMicHost", "-Service"), sdk::S_OK);

    Value parameters;
    ASSERT_EQ(open(kAppIdKey).queryValue("ServiceParameters", parameters), registry::ERROR_SUCCESS);
    EXPECT_EQ(parameters.type, ValueType::Sz);
    const std::vector<std::uint8_t> minusService = {'-', 0,   'S', 0,   'e', 0,   'r', 0, 'v',
                                                    0,   'i', 0,   'c', 0,   'e', 0,   0, 0};
    EXPECT_EQ(parameters.data, minusService);  // 18 bytes with the terminator
    EXPECT_EQ(text(kAppIdKey, "LocalService"), "qmMicHost");
    EXPECT_EQ(queryServiceRegistration(store_), registry::ERROR_SUCCESS);
}

TEST_F(ComRegistrationTest, EveryClassWithItsProgIdsAndServer) {
    ASSERT_EQ(registration_.registerClasses("/opt/q m/qmMicHost"), sdk::S_OK);
    for (const sdk::ClassRegistration& entry : sdk::kRegisteredClasses) {
        const std::string clsid = entry.clsid.toBracedString();
        const std::string clsidKey = "CLSID\\" + clsid;
        SCOPED_TRACE(entry.progId);

        EXPECT_EQ(text(entry.progId), entry.description);
        EXPECT_EQ(subkeys(entry.progId), std::set<std::string>{"CLSID"});
        EXPECT_EQ(text(std::string(entry.progId) + "\\CLSID"), clsid);

        EXPECT_EQ(text(entry.versionIndependentProgId), entry.description);
        EXPECT_EQ(subkeys(entry.versionIndependentProgId),
                  (std::set<std::string>{"CLSID", "CurVer"}));
        EXPECT_EQ(text(std::string(entry.versionIndependentProgId) + "\\CLSID"), clsid);
        EXPECT_EQ(text(std::string(entry.versionIndependentProgId) + "\\CurVer"), entry.progId);

        EXPECT_EQ(text(clsidKey), entry.description);
        EXPECT_EQ(subkeys(clsidKey),
                  (std::set<std::string>{"LocalServer32", "ProgID", "Programmable", "TypeLib",
                                         "VersionIndependentProgID"}));
        EXPECT_EQ(text(clsidKey + "\\ProgID"), entry.progId);
        EXPECT_EQ(text(clsidKey + "\\VersionIndependentProgID"), entry.versionIndependentProgId);
        EXPECT_TRUE(values(clsidKey + "\\Programmable").empty());
        EXPECT_EQ(text(clsidKey + "\\LocalServer32"), "\"/opt/q m/qmMicHost\"");
        EXPECT_EQ(text(clsidKey + "\\TypeLib"), "{4A7D0C11-1234-5678-9000-0ECE8AC9E862}");
        EXPECT_EQ(text(clsidKey, "AppID"), "{DCC305A1-68F8-45AE-B455-515142000986}");
    }
}

TEST_F(ComRegistrationTest, UnregisteringKeepsTheSharedKeysAndOthersEntries) {
    Key foreign;
    ASSERT_EQ(store_.createKey(Hive::ClassesRoot, "AppID\\{00000000-1111-2222-3333-444444444444}",
                               Access::ReadWrite, foreign),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(store_.createKey(Hive::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-555555555555}",
                               Access::ReadWrite, foreign),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(registration_.registerAppId(), sdk::S_OK);
    ASSERT_EQ(registration_.registerService("qmMicHost", "-Service"), sdk::S_OK);
    ASSERT_EQ(registration_.registerClasses("/usr/bin/qmMicHost"), sdk::S_OK);

    EXPECT_EQ(registration_.unregisterAppId(), sdk::S_OK);
    EXPECT_EQ(registration_.unregisterClasses(), sdk::S_OK);
    EXPECT_EQ(subkeys("AppID"), std::set<std::string>{"{00000000-1111-2222-3333-444444444444}"});
    EXPECT_EQ(subkeys("CLSID"), std::set<std::string>{"{00000000-1111-2222-3333-555555555555}"});
    EXPECT_EQ(subkeys(""), (std::set<std::string>{"AppID", "CLSID"}));
    EXPECT_EQ(queryServiceRegistration(store_), registry::ERROR_FILE_NOT_FOUND);

    // Nothing left to remove is no failure.
    EXPECT_EQ(registration_.unregisterAppId(), sdk::S_OK);
    EXPECT_EQ(registration_.unregisterClasses(), sdk::S_OK);
}

TEST_F(ComRegistrationTest, RegisteredAsAServiceOnlyWithAValidLocalService) {
    EXPECT_EQ(queryServiceRegistration(store_), registry::ERROR_FILE_NOT_FOUND);  // no key
    ASSERT_EQ(registration_.registerAppId(), sdk::S_OK);
    EXPECT_EQ(queryServiceRegistration(store_), registry::ERROR_FILE_NOT_FOUND);  // no value

    struct Case {
        const char* what;
        Value value;
        long expected;
    };
    const std::vector<std::uint8_t> unterminated = {'q', 0, 'm', 0};
    const std::vector<std::uint8_t> odd = {'q', 0, 0};
    std::vector<std::uint8_t> at520(520, 'a');
    at520[518] = 0;
    at520[519] = 0;
    std::vector<std::uint8_t> at522(522, 'a');
    at522[520] = 0;
    at522[521] = 0;
    const Case cases[] = {
        {"REG_SZ", registry::encodeString(ValueType::Sz, "qmMicHost"), registry::ERROR_SUCCESS},
        {"REG_EXPAND_SZ", registry::encodeString(ValueType::ExpandSz, "x"),
         registry::ERROR_SUCCESS},
        {"empty string", registry::encodeString(ValueType::Sz, ""), registry::ERROR_SUCCESS},
        {"no bytes at all", Value{ValueType::Sz, {}}, registry::ERROR_SUCCESS},
        {"520 bytes", Value{ValueType::Sz, at520}, registry::ERROR_SUCCESS},
        {"522 bytes", Value{ValueType::Sz, at522}, registry::ERROR_MORE_DATA},
        {"REG_DWORD", registry::encodeDword(1), registry::ERROR_INVALID_DATA},
        {"REG_BINARY", Value{ValueType::Binary, {0, 0}}, registry::ERROR_INVALID_DATA},
        {"unterminated", Value{ValueType::Sz, unterminated}, registry::ERROR_INVALID_DATA},
        {"odd length", Value{ValueType::Sz, odd}, registry::ERROR_INVALID_DATA},
    };
    for (const Case& c : cases) {
        setLocalService(c.value);
        EXPECT_EQ(queryServiceRegistration(store_), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace qm::com
