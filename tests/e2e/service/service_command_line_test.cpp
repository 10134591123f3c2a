// qmMicHost's command line where it needs the running service.
#include <filesystem>

#include "service_fixture.h"

namespace qm::e2e {
namespace {

using ServiceCommandLine = ServiceFixture;

TEST_F(ServiceCommandLine, InstallThenRunAsAnApplication) {
    ASSERT_NO_FATAL_FAILURE(startService("Alder:SN1001", {"-install", "-runapp"}));
    EXPECT_TRUE(std::filesystem::exists(installRoot() / "etc/systemd/system/qmMicHost.service"));
    const auto client = connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(serialsOf(*client), std::vector<std::string>{"SN1001"});
    EXPECT_EQ(stopService(SIGINT), 0);
}

}  // namespace
}  // namespace qm::e2e
