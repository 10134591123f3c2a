#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::qmreg {
namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built qmreg with the given arguments and only the given environment.
Outcome runQmreg(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                 const std::vector<std::string>& environment) {
    const std::filesystem::path outFile = scratch / "stdout.txt";
    const std::filesystem::path errFile = scratch / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    std::vector<std::string> argvStrings{QMREG_BINARY};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(argvStrings.size() + 1);
    for (std::string& arg : argvStrings) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = environment;
    std::vector<char*> envp;
    envp.reserve(envStrings.size() + 1);
    for (std::string& variable : envStrings) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    Outcome outcome;
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, QMREG_BINARY, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << QMREG_BINARY;
        return outcome;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto out = registry::testing::readFileBytes(outFile);
    const auto err = registry::testing::readFileBytes(errFile);
    outcome.out.assign(out.begin(), out.end());
    outcome.err.assign(err.begin(), err.end());
    return outcome;
}

TEST(QmregBinary, WorksEndToEndInTheFolderFromTheEnvironment) {
    registry::testing::TempFolder store;
    registry::testing::TempFolder scratch;
    const std::vector<std::string> environment = {"QM_REGISTRY_DIR=" + store.path().string(),
                                                  "QM_REGISTRY_USER=tester",
                                                  "HOME=" + scratch.path().string()};
    const std::string key = "HKLM\\SOFTWARE\\QUILLMERE\\qmCore\\Devices";

    Outcome outcome =
        runQmreg(scratch.path(), {"set", key, "TimeoutRead", "REG_DWORD", "200"}, environment);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    outcome = runQmreg(scratch.path(),
                       {"set", "HKCU\\Software\\QUILLMERE", "Name", "REG_SZ", "\xC3\xA9t\xC3\xA9"},
                       environment);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;

    outcome = runQmreg(scratch.path(), {"query", key, "Missing"}, environment);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("not found"), std::string::npos) << outcome.err;
    EXPECT_EQ(runQmreg(scratch.path(), {"bogus"}, environment).exitCode, 2);

    // The files are where the environment said, and another program reads what qmreg wrote.
    EXPECT_TRUE(std::filesystem::exists(store.path() / "machine.sqlite"));
    EXPECT_TRUE(std::filesystem::exists(store.path() / "users" / "tester.sqlite"));
    registry::Store reader(registry::StoreLocations::inFolder(store.path(), "tester"));
    registry::Key devices;
    ASSERT_EQ(reader.openKey(registry::Hive::LocalMachine, "SOFTWARE\\QUILLMERE\\qmCore\\Devices",
                             registry::Access::Read, devices),
              registry::ERROR_SUCCESS);
    EXPECT_EQ(registry::readDword(devices, "TimeoutRead"), 200u);
}

}  // namespace
}  // namespace qm::qmreg
