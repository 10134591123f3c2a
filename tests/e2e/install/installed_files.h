#pragma once

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "support/child_process.h"

// The service's files as "qmMicHost -Install" writes them, into a staging root of the test's own
// (the settings store it registers in goes to the same scratch folder).
namespace qm::e2e {

using qm::testing::ChildProcess;
using qm::testing::cleanEnvironment;
using qm::testing::Completed;
using qm::testing::runToCompletion;

inline constexpr std::chrono::milliseconds kInstallBound = std::chrono::seconds(20);

struct InstalledFiles {
    std::filesystem::path unit;
    std::filesystem::path busPolicy;
};

// Runs the built qmMicHost -Install with QM_INSTALL_ROOT=<scratch>/root; fails the test (and
// returns nothing useful) when it does not succeed.
inline InstalledFiles installInto(const std::filesystem::path& scratch) {
    const std::filesystem::path root = scratch / "root";
    const Completed install = runToCompletion(
        {QM_MICHOST_PATH, "-Install"},
        cleanEnvironment({"QM_INSTALL_ROOT=" + root.string(),
                          "QM_REGISTRY_DIR=" + (scratch / "install-registry").string()}),
        kInstallBound);
    EXPECT_EQ(install.exitCode, 0) << install.err;
    return {root / "etc/systemd/system/qmMicHost.service",
            root / "etc/dbus-1/system.d/com.quillmere.qmMicHost.conf"};
}

}  // namespace qm::e2e
