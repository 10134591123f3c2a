#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/servicehost/file_errors.h"
#include "platform/servicehost/service_files.h"
#include "platform/servicehost/systemd_installer.h"
#include "servicehost_test_support.h"

namespace qm::servicehost {
namespace {

using testing::filesBelow;
using testing::readFile;
using testing::RecordingCommandRunner;
using testing::TempFolder;

ServiceDefinition definition(const std::string& executable = "/usr/bin/qmMicHost") {
    return testing::testDefinition(executable);
}

const std::set<std::string>& kInstalledFiles = testing::kLocalInstallFiles;

TEST(InstallLayout, OnlyTheRootFolderItselfIsTheSystem) {
    EXPECT_TRUE(InstallLayout("/", "s", "a.b").isSystemRoot());
    EXPECT_TRUE(InstallLayout("", "s", "a.b").isSystemRoot());
    EXPECT_TRUE(InstallLayout("//", "s", "a.b").isSystemRoot());
    EXPECT_TRUE(InstallLayout("/usr/..", "s", "a.b").isSystemRoot());
    EXPECT_FALSE(InstallLayout("/tmp", "s", "a.b").isSystemRoot());
    EXPECT_FALSE(InstallLayout("stage", "s", "a.b").isSystemRoot());
}

TEST(SystemdInstaller, CreatesEveryFileUnderTheRootAndRunsNothing) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller installer(root.path(), definition(), commands);
    EXPECT_FALSE(installer.serviceExists());

    ASSERT_EQ(installer.createService(), ERROR_SUCCESS);
    EXPECT_TRUE(installer.serviceExists());
    EXPECT_EQ(filesBelow(root.path()), kInstalledFiles);
    // The start-at-boot link reaches the unit under any root.
    const std::filesystem::path link = installer.layout().wantsLink().value();
    EXPECT_EQ(std::filesystem::read_symlink(link), "../qmMicHost.service");
    EXPECT_TRUE(std::filesystem::equivalent(link, installer.layout().unitFile()));
    EXPECT_TRUE(commands.commands().empty());
}

TEST(SystemdInstaller, APackageLayoutPutsEveryFileInTheDistributionsPlaces) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller installer(root.path(), definition(), commands, InstallLayout::Kind::Package);
    ASSERT_EQ(installer.createService(), ERROR_SUCCESS);
    EXPECT_EQ(filesBelow(root.path()),
              (std::set<std::string>{
                  "usr/lib/systemd/system/qmMicHost.service",
                  "usr/share/dbus-1/system.d/com.quillmere.qmMicHost.conf",
                  "usr/share/dbus-1/system-services/com.quillmere.qmMicHost.service",
                  "usr/lib/udev/rules.d/70-qmMicHost.rules",
                  "usr/lib/sysusers.d/qmMicHost.conf",
                  "usr/lib/tmpfiles.d/qmMicHost.conf",
                  "usr/share/polkit-1/rules.d/50-qmMicHost.rules",
              }));
    EXPECT_TRUE(commands.commands().empty());
}

// An administrator's install beside the package: the package's service exists already, and a
// local removal never touches its files.
TEST(SystemdInstaller, APackagedServiceExistsAndALocalRemovalLeavesItsFiles) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller package(root.path(), definition(), commands, InstallLayout::Kind::Package);
    ASSERT_EQ(package.createService(), ERROR_SUCCESS);
    const std::set<std::string> packaged = filesBelow(root.path());

    SystemdInstaller local(root.path(), definition(), commands);
    EXPECT_TRUE(local.serviceExists());
    EXPECT_EQ(local.deleteService(), ERROR_SUCCESS);
    EXPECT_EQ(filesBelow(root.path()), packaged);
}

TEST(SystemdInstaller, CreatingAgainReplacesTheFiles) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller first(root.path(), definition("/old/qmMicHost"), commands);
    ASSERT_EQ(first.createService(), ERROR_SUCCESS);
    SystemdInstaller second(root.path(), definition("/new/qmMicHost"), commands);
    ASSERT_EQ(second.createService(), ERROR_SUCCESS);

    EXPECT_EQ(filesBelow(root.path()), kInstalledFiles);
    const std::string unit = readFile(second.layout().unitFile());
    EXPECT_NE(unit.find("ExecStart=/new/qmMicHost -Service"), std::string::npos);
    EXPECT_EQ(unit.find("/old/"), std::string::npos);
}

TEST(SystemdInstaller, DeletingRemovesEveryFileAndMayBeRepeated) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller installer(root.path(), definition(), commands);
    ASSERT_EQ(installer.createService(), ERROR_SUCCESS);

    EXPECT_EQ(installer.deleteService(), ERROR_SUCCESS);
    EXPECT_FALSE(installer.serviceExists());
    EXPECT_TRUE(filesBelow(root.path()).empty());
    EXPECT_EQ(installer.deleteService(), ERROR_SUCCESS);
    EXPECT_TRUE(commands.commands().empty());
}

TEST(SystemdInstaller, AFailedCreateLeavesNoFileBehind) {
    TempFolder root;
    RecordingCommandRunner commands;
    // The D-Bus files can't be written: their folder is a file.
    ASSERT_EQ(writeFileReplacing(root.path() / "etc" / "dbus-1", "in the way"), ERROR_SUCCESS);
    SystemdInstaller installer(root.path(), definition(), commands);

    EXPECT_NE(installer.createService(), ERROR_SUCCESS);
    EXPECT_FALSE(installer.serviceExists());
    EXPECT_EQ(filesBelow(root.path()), std::set<std::string>{"etc/dbus-1"});
}

TEST(SystemdInstaller, ABadDefinitionWritesNothing) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller installer(root.path(), definition("relative/qmMicHost"), commands);
    EXPECT_EQ(installer.createService(), ERROR_BAD_PATHNAME);
    EXPECT_TRUE(filesBelow(root.path()).empty());
}

TEST(SystemdInstaller, AFileThatCantBeRemovedIsReportedAndTheRestGoes) {
    TempFolder root;
    RecordingCommandRunner commands;
    SystemdInstaller installer(root.path(), definition(), commands);
    ASSERT_EQ(installer.createService(), ERROR_SUCCESS);
    // A folder (with something in it) where the udev rule was.
    const std::filesystem::path rule = installer.layout().udevRuleFile();
    ASSERT_EQ(removeFile(rule), ERROR_SUCCESS);
    ASSERT_EQ(writeFileReplacing(rule / "inside", "x"), ERROR_SUCCESS);

    EXPECT_EQ(installer.deleteService(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(installer.serviceExists());
    EXPECT_EQ(filesBelow(root.path()),
              std::set<std::string>{"etc/udev/rules.d/70-qmMicHost.rules/inside"});
}

TEST(SystemCommandRunner, ReportsExitStatusAndProgramsThatDontStart) {
    SystemCommandRunner runner;
    EXPECT_EQ(runner.run({"true"}), 0);
    EXPECT_EQ(runner.run({"sh", "-c", "echo noise; echo more >&2; exit 7"}), 7);
    EXPECT_EQ(runner.run({"qm-no-such-program-anywhere"}), -1);
    EXPECT_EQ(runner.run({}), -1);
}

}  // namespace
}  // namespace qm::servicehost
