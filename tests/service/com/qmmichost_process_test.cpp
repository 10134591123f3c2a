// Runs the built qmMicHost as a child process, with its settings store and install root in a
// temporary folder, and checks what it prints and how it exits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "platform/servicehost/servicehost_test_support.h"

extern char** environ;

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
    // Runs qmMicHost with `arguments`; its environment is this process's without the variables
    // that would reach a real bus or service manager, plus the test folder's locations.
    Outcome run(const std::vector<std::string>& arguments,
                const std::map<std::string, std::string>& extra = {}) {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            const std::string name = text.substr(0, text.find('='));
            if (name != "NOTIFY_SOCKET" && name != "QM_DBUS_ADDRESS" && name != "QM_REGISTRY_DIR" &&
                name != "QM_INSTALL_ROOT") {
                environment.push_back(text);
            }
        }
        environment.push_back("QM_REGISTRY_DIR=" + (folder_.path() / "registry").string());
        environment.push_back("QM_INSTALL_ROOT=" + root().string());
        // A bus that is not there unless a test names another: runs fail at once and the same
        // way on every machine.
        if (!extra.contains("QM_DBUS_ADDRESS")) {
            environment.push_back("QM_DBUS_ADDRESS=unix:path=" +
                                  (folder_.path() / "no-bus").string());
        }
        for (const auto& [name, value] : extra) {
            environment.push_back(name);
            environment.back().append("=").append(value);
        }

        std::vector<std::string> argv = {QM_MICHOST_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> argvPointers;
        argvPointers.reserve(argv.size() + 1);
        for (std::string& a : argv) {
            argvPointers.push_back(a.data());
        }
        argvPointers.push_back(nullptr);
        std::vector<char*> envPointers;
        envPointers.reserve(environment.size() + 1);
        for (std::string& e : environment) {
            envPointers.push_back(e.data());
        }
        envPointers.push_back(nullptr);

        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe";
            return {};
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, argvPointers[0], &actions, nullptr,
                                        argvPointers.data(), envPointers.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        Outcome outcome;
        if (spawned != 0) {
            ::close(pipeFds[0]);
            ADD_FAILURE() << "can't start " << QM_MICHOST_PATH;
            return outcome;
        }
        char buffer[4096];
        while (true) {
            const ssize_t count = ::read(pipeFds[0], buffer, sizeof buffer);
            if (count > 0) {
                outcome.errors.append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                break;
            }
        }
        ::close(pipeFds[0]);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return outcome;
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

TEST_F(QmMicHostProcess, NeverInstalledExitsWithTwoAndSaysNothing) {
    const Outcome outcome = run({});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.errors, "");
}

TEST_F(QmMicHostProcess, BadSwitchesAndSilence) {
    Outcome outcome = run({"/silent", "/foo"});
    EXPECT_EQ(outcome.exitCode, 0x57);
    EXPECT_EQ(outcome.errors, "");

    // The usage text and nothing after it.
    outcome = run({"/foo", "/silent"});
    EXPECT_EQ(outcome.exitCode, 0x57);
    EXPECT_EQ(outcome.errors, kUsage);

    outcome = run({"install"});
    EXPECT_EQ(outcome.exitCode, 0x57);
    EXPECT_EQ(outcome.errors, kUsage);

    outcome = run({"-?"});
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

TEST_F(QmMicHostProcess, InstallThenRunAsAnApplication) {
    const Outcome outcome = run({"-install", "-runapp"});
    EXPECT_EQ(outcome.exitCode, 0xBA) << "installed, then tried to serve";
    EXPECT_EQ(outcome.errors.rfind(kNoBus, 0), 0u) << outcome.errors;
    EXPECT_EQ(filesBelow(root()), servicehost::testing::kLocalInstallFiles);
}

TEST_F(QmMicHostProcess, ArgumentsAfterTheSixteenthAreIgnored) {
    std::vector<std::string> arguments(15, "/silent");
    arguments.push_back("/foo");
    const Outcome outcome = run(arguments);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.errors, "");
}

TEST_F(QmMicHostProcess, LongOptionsReachTheRuntimeOrExplainThemselves) {
    Outcome outcome = run({"-runapp", "--bus", "unix:path=/nonexistent/qm-bus", "--simulate",
                           "alder:SN1001,Cedar:SN1002"});
    EXPECT_EQ(outcome.exitCode, 0xBA);
    EXPECT_EQ(
        outcome.errors.rfind("qmMicHost: cannot serve on the unix:path=/nonexistent/qm-bus bus", 0),
        0u)
        << outcome.errors;

    outcome = run({"-runapp", "--bus", "nowhere"});
    EXPECT_EQ(outcome.exitCode, 0x57);
    EXPECT_EQ(outcome.errors.rfind("qmMicHost: --bus: \"nowhere\" is not system, session or a "
                                   "D-Bus address",
                                   0),
              0u);
    EXPECT_TRUE(outcome.errors.ends_with(kUsage)) << outcome.errors;

    outcome = run({"-runapp"}, {{"QM_DBUS_ADDRESS", "unix:path=/tmp/qm-test-bus"}});
    EXPECT_EQ(outcome.exitCode, 0xBA);
    EXPECT_NE(outcome.errors.find("serve on the unix:path=/tmp/qm-test-bus bus"),
              std::string::npos);
}

}  // namespace
}  // namespace qm::com
