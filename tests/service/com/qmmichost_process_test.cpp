// Runs the built qmMicHost as a child process, with its settings store and install root in a
// temporary folder, and checks what it prints and how it exits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/servicehost/servicehost_test_support.h"
#include "support/child_process.h"

namespace qm::com {
namespace {

using servicehost::testing::filesBelow;
using servicehost::testing::TempFolder;

struct Outcome {
    int exitCode = -1;
    std::string errors;
};

class QmMicHostProcess : public ::testing::Test {
  protected:
    // Runs qmMicHost with `arguments` in an environment that reaches no real bus, store or
    // service manager: the test folder's locations and, unless `bus` names another, a bus that
    // is not there, so that runs fail at once and the same way on every machine.
    Outcome run(const std::vector<std::string>& arguments, const std::string& bus = "") {
        std::vector<std::string> argv = {QM_MICHOST_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const auto completed = qm::testing::runToCompletion(
            argv,
            qm::testing::cleanEnvironment(
                {"QM_REGISTRY_DIR=" + (folder_.path() / "registry").string(),
                 "QM_INSTALL_ROOT=" + root().string(),
                 "QM_DBUS_ADDRESS=" +
                     (bus.empty() ? "unix:path=" + (folder_.path() / "no-bus").string() : bus)}),
            std::chrono::seconds(30));
        return {completed.exitCode, completed.err};
    }

    std::filesystem::path root() const { return folder_.path() / "root"; }

    TempFolder folder_;
};

const std::string kUsage =
    "Usage: qmMicHost [-install | -uninstall] [/silent]\n"
    "-install   - Registers service\n"
    "-uninstall - Unregisters service\n"
    "/silent    - Silent; supress message boxes%0\n";
// The start of the line a run prints when its bus can't be reached.
const std::string kNoBus = "qmMicHost: cannot serve on the unix:path=";
const std::string kUnavailable = "qmMicHost: result 0x800706BA\n";

// Which switches the command line holds, and which of them are silenced, is the command-line
// tests' matter; here: that the program's exit code and standard error follow them.
TEST_F(QmMicHostProcess, NeverInstalledOrBadSwitches) {
    Outcome outcome = run({});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.errors, "");

    outcome = run({"/silent", "/foo"});
    EXPECT_EQ(outcome.exitCode, 0x57);
    EXPECT_EQ(outcome.errors, "");

    // The usage text and nothing after it.
    outcome = run({"/foo", "/silent"});
    EXPECT_EQ(outcome.exitCode, 0x57);
    EXPECT_EQ(outcome.errors, kUsage);
    EXPECT_TRUE(filesBelow(root()).empty());
}

TEST_F(QmMicHostProcess, InstallRunUninstall) {
    Outcome outcome = run({"-INSTALL"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(filesBelow(root()), servicehost::testing::kLocalInstallFiles);
    EXPECT_TRUE(std::filesystem::exists(root() / "etc/systemd/system/qmMicHost.service"));

    // Registered now, so no switch runs the service, which fails here for want of a bus.
    outcome = run({});
    EXPECT_EQ(outcome.exitCode, 0xBA);
    EXPECT_EQ(outcome.errors.rfind(kNoBus, 0), 0u) << outcome.errors;
    EXPECT_TRUE(outcome.errors.ends_with(kUnavailable));

    outcome = run({"-uninstall"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.errors, "");
    EXPECT_TRUE(filesBelow(root()).empty());
    EXPECT_EQ(run({}).exitCode, 2);
}

TEST_F(QmMicHostProcess, LongOptionsReachTheRuntimeOrExplainThemselves) {
    Outcome outcome = run({"-runapp", "--bus", "unix:path=/nonexistent/qm-bus", "--simulate",
                           "alder:SN1001,Cedar:SN1002"});
    EXPECT_EQ(outcome.exitCode, 0xBA);
    EXPECT_EQ(
        outcome.errors.rfind("qmMicHost: cannot serve on the unix:path=/nonexistent/qm-bus bus", 0),
        0u)
        << outcome.errors;

    outcome = run({"-runapp"}, "unix:path=/tmp/qm-test-bus");
    EXPECT_EQ(outcome.exitCode, 0xBA);
    EXPECT_NE(outcome.errors.find("serve on the unix:path=/tmp/qm-test-bus bus"),
              std::string::npos);
}

}  // namespace
}  // namespace qm::com
