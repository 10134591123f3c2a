#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "com_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "platform/servicehost/file_errors.h"
#include "platform/servicehost/service_files.h"
#include "service/com/com_registration.h"

namespace qm::com {
namespace {

using registry::Access;
using registry::Hive;
using registry::Key;
using servicehost::testing::filesBelow;
using servicehost::testing::readFile;
using testing::ModuleRig;

const std::set<std::string>& kInstalledFiles = servicehost::testing::kLocalInstallFiles;

std::set<std::string> subkeys(registry::Store& store, const std::string& path) {
    Key key;
    std::vector<std::string> names;
    if (store.openKey(Hive::ClassesRoot, path, Access::Read, key) == registry::ERROR_SUCCESS) {
        EXPECT_EQ(key.enumSubkeys(names), registry::ERROR_SUCCESS);
    }
    return {names.begin(), names.end()};
}

// Every key below HKEY_CLASSES_ROOT, as full paths.
std::set<std::string> allKeys(registry::Store& store, const std::string& path = "") {
    std::set<std::string> keys;
    for (const std::string& name : subkeys(store, path)) {
        std::string child = path;
        if (!child.empty()) {
            child += '\\';
        }
        child += name;
        keys.insert(child);
        const std::set<std::string> below = allKeys(store, child);
        keys.insert(below.begin(), below.end());
    }
    return keys;
}

TEST(ModuleInstall, InstallingTwiceLeavesOneRegistrationAndOneSetOfFiles) {
    ModuleRig rig;
    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    const std::set<std::string> firstKeys = allKeys(rig.store());
    ASSERT_EQ(rig.module().Install(), sdk::S_OK);

    EXPECT_EQ(allKeys(rig.store()), firstKeys);
    EXPECT_EQ(subkeys(rig.store(), "CLSID").size(), std::size(sdk::kRegisteredClasses));
    EXPECT_EQ(queryServiceRegistration(rig.store()), registry::ERROR_SUCCESS);
    EXPECT_EQ(filesBelow(rig.installRoot()), kInstalledFiles);
    // A staging root never reaches the running system.
    EXPECT_TRUE(rig.commands().commands().empty());
}

TEST(ModuleInstall, TheSecondInstallRemovesTheFirstBeforeWriting) {
    ModuleRig rig;
    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    // Something of the first install that the second must not keep.
    const std::filesystem::path unit = rig.installer().layout().unitFile();
    ASSERT_EQ(servicehost::writeFileReplacing(unit, "[Unit]\nDescription=stale\n"),
              servicehost::ERROR_SUCCESS);
    Key appId;
    ASSERT_EQ(
        rig.store().openKey(Hive::ClassesRoot, "AppID\\{DCC305A1-68F8-45AE-B455-515142000986}",
                            Access::ReadWrite, appId),
        registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeString(appId, "Stale", "left over"), registry::ERROR_SUCCESS);

    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    EXPECT_EQ(readFile(unit).find("stale"), std::string::npos);
    EXPECT_NE(readFile(unit).find("ExecStart=/opt/quillmere/bin/qmMicHost -Service"),
              std::string::npos);
    Key fresh;
    ASSERT_EQ(
        rig.store().openKey(Hive::ClassesRoot, "AppID\\{DCC305A1-68F8-45AE-B455-515142000986}",
                            Access::Read, fresh),
        registry::ERROR_SUCCESS);
    std::vector<std::string> names;
    ASSERT_EQ(fresh.enumValues(names), registry::ERROR_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{"", "AccessPermission", "LaunchPermission",
                                               "LocalService", "ServiceParameters"}));
}

// What the package's scripts rely on: beside the package's unit, Install registers the server and
// writes no service files of its own, and Uninstall takes away the registrations only.
TEST(ModuleInstall, BesideAPackagedServiceOnlyTheRegistrationsComeAndGo) {
    ModuleRig rig;
    const std::set<std::string> packaged = {"usr/lib/systemd/system/qmMicHost.service"};
    ASSERT_EQ(servicehost::writeFileReplacing(rig.installRoot() / *packaged.begin(), "[Unit]\n"),
              servicehost::ERROR_SUCCESS);

    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    EXPECT_EQ(queryServiceRegistration(rig.store()), registry::ERROR_SUCCESS);
    EXPECT_EQ(subkeys(rig.store(), "CLSID").size(), 3u);
    EXPECT_EQ(filesBelow(rig.installRoot()), packaged);

    ASSERT_EQ(rig.module().Uninstall(), sdk::S_OK);
    EXPECT_EQ(allKeys(rig.store()), (std::set<std::string>{"AppID", "CLSID"}));
    EXPECT_EQ(filesBelow(rig.installRoot()), packaged);
}

TEST(ModuleInstall, UninstallLeavesTheSharedKeysAndNoFiles) {
    ModuleRig rig;
    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    ASSERT_EQ(rig.module().Uninstall(), sdk::S_OK);

    EXPECT_EQ(allKeys(rig.store()), (std::set<std::string>{"AppID", "CLSID"}));
    EXPECT_TRUE(filesBelow(rig.installRoot()).empty());
    EXPECT_EQ(queryServiceRegistration(rig.store()), registry::ERROR_FILE_NOT_FOUND);
    // Uninstalling what isn't installed succeeds.
    EXPECT_EQ(rig.module().Uninstall(), sdk::S_OK);
    EXPECT_TRUE(rig.commands().commands().empty());
}

TEST(ModuleInstall, AServiceThatCantBeCreatedFailsTheInstallBeforeTheClasses) {
    ModuleRig rig;
    // The systemd folder is a file, so no unit can be written.
    ASSERT_EQ(servicehost::writeFileReplacing(rig.installRoot() / "etc" / "systemd", "x"),
              servicehost::ERROR_SUCCESS);

    const sdk::HRESULT result = rig.module().Install();
    EXPECT_TRUE(sdk::FAILED(result));
    EXPECT_EQ(static_cast<std::uint32_t>(result) & 0xFFFF0000u, 0x80070000u);
    EXPECT_FALSE(rig.installer().serviceExists());
    EXPECT_TRUE(subkeys(rig.store(), "CLSID").empty());
}

TEST(ModuleInstall, AServiceThatCantBeDeletedIsReportedAfterTheRestIsRemoved) {
    ModuleRig rig;
    ASSERT_EQ(rig.module().Install(), sdk::S_OK);
    // A folder with something in it where the udev rule was can't be removed as a file.
    const std::filesystem::path rule = rig.installer().layout().udevRuleFile();
    ASSERT_EQ(servicehost::removeFile(rule), servicehost::ERROR_SUCCESS);
    ASSERT_EQ(servicehost::writeFileReplacing(rule / "inside", "x"), servicehost::ERROR_SUCCESS);

    EXPECT_EQ(rig.module().Uninstall(),
              sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(servicehost::ERROR_ACCESS_DENIED)));
    // The AppID's keys and the classes went all the same.
    EXPECT_EQ(allKeys(rig.store()), (std::set<std::string>{"AppID", "CLSID"}));

    // The unit is gone, so an install goes ahead, fails on the rule, takes back what it wrote
    // and registers no class.
    EXPECT_EQ(rig.module().Install(),
              sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(servicehost::ERROR_ACCESS_DENIED)));
    EXPECT_FALSE(rig.installer().serviceExists());
    EXPECT_TRUE(subkeys(rig.store(), "CLSID").empty());
}

}  // namespace
}  // namespace qm::com
