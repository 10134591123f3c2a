// The unit that qmMicHost -Install writes, as systemd's own tools see it.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "installed_files.h"
#include "support/temp_folder.h"

namespace qm::e2e {
namespace {

// The highest exposure rating we accept (systemd's scale: 0 safe ... 10 unsafe; "OK" up to 4.9).
constexpr double kHighestExposure = 2.0;

TEST(InstalledUnit, IsValidAndRatesTwoOrLowerForExposure) {
    if (std::string(QM_SYSTEMD_ANALYZE).empty()) {
        GTEST_SKIP() << "systemd-analyze is not installed (Debian package systemd): the unit's "
                        "exposure rating can't be checked";
    }
    qm::testing::TempFolder scratch;
    const InstalledFiles files = installInto(scratch.path());

    const Completed verify =
        runToCompletion({QM_SYSTEMD_ANALYZE, "verify", "--man=no", files.unit.string()},
                        cleanEnvironment({}), kInstallBound);
    EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;

    const Completed security =
        runToCompletion({QM_SYSTEMD_ANALYZE, "security", "--offline=true", files.unit.string()},
                        cleanEnvironment({}), kInstallBound);
    std::smatch rating;
    const std::regex overall("Overall exposure level for qmMicHost\\.service: ([0-9]+\\.[0-9])");
    ASSERT_TRUE(std::regex_search(security.out, rating, overall)) << security.out << security.err;
    const double exposure = std::stod(rating[1]);
    RecordProperty("exposure", rating[1]);
    std::cout << "qmMicHost.service exposure: " << rating[1] << '\n';
    EXPECT_LE(exposure, kHighestExposure) << security.out;
}

}  // namespace
}  // namespace qm::e2e
