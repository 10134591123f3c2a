#include <gtest/gtest.h>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "support/child_process.h"

namespace qm::qmreg {
namespace {

// Runs the built qmreg with the given arguments and only the given environment.
qm::testing::Completed runQmreg(const std::vector<std::string>& args,
                                const std::vector<std::string>& environment) {
    std::vector<std::string> argv{QMREG_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return qm::testing::runToCompletion(argv, environment, std::chrono::seconds(30));
}

TEST(QmregBinary, WorksEndToEndInTheFolderFromTheEnvironment) {
    registry::testing::TempFolder store;
    registry::testing::TempFolder scratch;
    const std::vector<std::string> environment = {"QM_REGISTRY_DIR=" + store.path().string(),
                                                  "QM_REGISTRY_USER=tester",
                                                  "HOME=" + scratch.path().string()};
    const std::string key = "HKLM\\SOFTWARE\\QUILLMERE\\qmCore\\Devices";

    qm::testing::Completed outcome =
        runQmreg({"set", key, "TimeoutRead", "REG_DWORD", "200"}, environment);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    outcome = runQmreg({"set", "HKCU\\Software\\QUILLMERE", "Name", "REG_SZ", "\xC3\xA9t\xC3\xA9"},
                       environment);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;

    outcome = runQmreg({"query", key, "Missing"}, environment);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("not found"), std::string::npos) << outcome.err;
    EXPECT_EQ(runQmreg({"bogus"}, environment).exitCode, 2);

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
