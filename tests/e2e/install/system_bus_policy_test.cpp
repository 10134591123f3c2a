// The installed D-Bus policy, enforced by a real dbus-daemon with a system bus's configuration:
// the service runs on it as its own user, and three users call it: the service's user, a member
// of the managing group and an outsider (and root, the administrator).
//
// The users are processes with those user and group ids (setpriv); the bus daemon learns their
// groups from the kernel, and finds the user and group names of the policy file in a user
// database of the test's own (nss_wrapper), so the machine's accounts are never touched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "installed_files.h"
#include "support/temp_folder.h"

namespace qm::e2e {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kBound = 10s;
constexpr const char* kBusName = "com.quillmere.qmMicHost";
constexpr const char* kAccessDenied = "org.freedesktop.DBus.Error.AccessDenied";

struct Account {
    const char* name;
    unsigned uid;
    std::string groups;  // as setpriv --groups takes them; the first is the primary group
};

// Ids no real account is likely to have; the names are the ones the policy file uses.
const Account kServiceUser{"qmmichost", 4012001, "4012001"};
const Account kMember{"qmmember", 4012002, "4012002,4012001"};
const Account kOutsider{"qmoutsider", 4012003, "4012003"};

// The default policy of a system bus (as in dbus's system.conf): nobody owns names, method calls
// are denied unless a policy file allows them; replies and signals flow.
constexpr const char* kDefaultPolicy = R"(
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Introspectable"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Peer"/>
  </policy>
)";

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class SystemBusPolicy : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "runs only as root: it runs the bus's clients as other users (the "
                            "service's user, a member of the managing group, an outsider)";
        }
        if (std::string(QM_NSS_WRAPPER).empty() || std::string(QM_SETPRIV).empty()) {
            GTEST_SKIP() << "needs libnss_wrapper (Debian package libnss-wrapper) and setpriv";
        }
        // Every user must reach the bus socket and the service its folders.
        std::filesystem::permissions(scratch_.path(), std::filesystem::perms::owner_all |
                                                          std::filesystem::perms::group_exec |
                                                          std::filesystem::perms::others_exec);
        const InstalledFiles files = installInto(scratch_.path());
        ASSERT_TRUE(std::filesystem::exists(files.busPolicy));
        startBus(files.busPolicy);
        startService();
    }

    void TearDown() override {
        if (service_ && service_->running()) {
            service_->signal(SIGTERM);
            EXPECT_EQ(service_->waitForExit(kBound), 0);
        }
        service_.reset();
        bus_.reset();
    }

    void startBus(const std::filesystem::path& policy) {
        const std::filesystem::path folder = scratch_.path();
        writeText(folder / "passwd",
                  "root:x:0:0:root:/root:/bin/sh\n"
                  "qmmichost:x:4012001:4012001::/:/usr/sbin/nologin\n"
                  "qmmember:x:4012002:4012002::/:/usr/sbin/nologin\n"
                  "qmoutsider:x:4012003:4012003::/:/usr/sbin/nologin\n");
        writeText(folder / "group",
                  "root:x:0:\nquillmere:x:4012001:qmmember\n"
                  "qmmember:x:4012002:\nqmoutsider:x:4012003:\n");
        writeText(folder / "bus.conf",
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration "
                  "1.0//EN\"\n \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig>\n  <type>system</type>\n  <listen>unix:path=" +
                      (folder / "bus").string() + "</listen>\n  <auth>EXTERNAL</auth>\n" +
                      kDefaultPolicy + "  <include>" + policy.string() +
                      "</include>\n</busconfig>\n");
        bus_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{QM_DBUS_DAEMON,
                                     "--config-file=" + (folder / "bus.conf").string(), "--nofork",
                                     "--print-address=1"},
            ChildProcess::Options{
                cleanEnvironment({"LD_PRELOAD=" + std::string(QM_NSS_WRAPPER),
                                  "NSS_WRAPPER_PASSWD=" + (folder / "passwd").string(),
                                  "NSS_WRAPPER_GROUP=" + (folder / "group").string()}),
                std::nullopt, folder / "bus.err"});
        const std::optional<std::string> address =
            bus_->readLine(ChildProcess::Stream::Out, kBound);
        ASSERT_TRUE(address) << "dbus-daemon did not start";
        address_ = *address;
    }

    void startService() {
        const std::filesystem::path home = scratch_.path() / "service";
        std::filesystem::create_directories(home);
        ASSERT_EQ(::chown(home.c_str(), kServiceUser.uid, kServiceUser.uid), 0);
        service_ = std::make_unique<ChildProcess>(
            as(kServiceUser,
               {QM_MICHOST_PATH, "-Runapp", "--bus", address_, "--simulate", "Alder:SN1001"}),
            ChildProcess::Options{environment(), scratch_.path() / "service.out",
                                  scratch_.path() / "service.err"});
        // Root may call it too: the administrator's view of whether it serves yet.
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        while (std::chrono::steady_clock::now() < deadline) {
            const Completed list = qmctl({"list"});
            if (list.exitCode == 0 && list.out.find("started") != std::string::npos) {
                return;
            }
            ASSERT_TRUE(service_->running()) << "qmMicHost ended";
            service_->waitForExit(50ms);
        }
        FAIL() << "qmMicHost did not serve its microphone in time";
    }

    std::vector<std::string> environment() const {
        const std::filesystem::path home = scratch_.path() / "service";
        return cleanEnvironment({"HOME=" + home.string(),
                                 "QM_REGISTRY_DIR=" + (home / "registry").string(),
                                 "QM_LOG_DIR=" + (home / "logs").string(),
                                 "QM_PROFILE_DIR=" + (home / "profiles").string()});
    }

    // argv run as the account, with its user, primary group and supplementary groups.
    static std::vector<std::string> as(const Account& account, std::vector<std::string> argv) {
        const std::string primary = account.groups.substr(0, account.groups.find(','));
        std::vector<std::string> full = {QM_SETPRIV, "--reuid=" + std::to_string(account.uid),
                                         "--regid=" + primary, "--groups=" + account.groups, "--"};
        full.insert(full.end(), argv.begin(), argv.end());
        return full;
    }

    Completed run(const Account* account, std::vector<std::string> argv) const {
        return runToCompletion(account != nullptr ? as(*account, std::move(argv)) : argv,
                               environment(), kBound);
    }
    // The probe as the account (nullptr: as root).
    Completed probe(const Account* account, std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {QM_BUS_POLICY_PROBE, address_});
        return run(account, std::move(arguments));
    }
    Completed qmctl(std::vector<std::string> arguments, const Account* account = nullptr) const {
        arguments.insert(arguments.begin(), {QM_QMCTL_PATH, "--bus", address_});
        return run(account, std::move(arguments));
    }
    // One line per method of the client interface (and Introspect): "<name> <result>".
    std::vector<std::string> callEveryMethod(const Account* account) const {
        const Completed calls =
            probe(account, {"call-all", QM_INTERFACE_XML, "SN1001",
                            (scratch_.path() / "service" / "elsewhere").string()});
        EXPECT_EQ(calls.exitCode, 0) << calls.err;
        return linesOf(calls.out);
    }

    qm::testing::TempFolder scratch_;
    std::unique_ptr<ChildProcess> bus_;
    std::unique_ptr<ChildProcess> service_;
    std::string address_;
};

TEST_F(SystemBusPolicy, OnlyTheServicesUserMayOwnTheName) {
    // 3: the name exists already (the running service has it), so the request was allowed.
    EXPECT_EQ(probe(&kServiceUser, {"own", kBusName}).out, "own 3\n");
    const std::string denied = std::string("own ") + kAccessDenied + "\n";
    EXPECT_EQ(probe(&kMember, {"own", kBusName}).out, denied);
    EXPECT_EQ(probe(&kOutsider, {"own", kBusName}).out, denied);
    EXPECT_EQ(probe(nullptr, {"own", kBusName}).out, denied);
}

TEST_F(SystemBusPolicy, OutsidersAreDeniedEveryMethodAndEveryoneElseNone) {
    const std::vector<std::string> outsider = callEveryMethod(&kOutsider);
    // The manager's 12 methods, the device's 46, and Introspect.
    EXPECT_EQ(outsider.size(), 12u + 46u + 1u);
    for (const std::string& line : outsider) {
        EXPECT_TRUE(line.ends_with(std::string(" ") + kAccessDenied)) << line;
    }
    EXPECT_EQ(qmctl({"list"}, &kOutsider).exitCode, 3);

    for (const Account* account : {&kMember, &kServiceUser, static_cast<const Account*>(nullptr)}) {
        const std::vector<std::string> lines = callEveryMethod(account);
        EXPECT_EQ(lines.size(), outsider.size());
        for (const std::string& line : lines) {
            EXPECT_TRUE(line.ends_with(" ok"))
                << (account ? account->name : "root") << ": " << line;
        }
    }
    const Completed list = qmctl({"list"}, &kMember);
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("SN1001"), std::string::npos);
}

TEST_F(SystemBusPolicy, TheServiceCallsItsClientsNotificationSinksAndNothingElse) {
    ChildProcess client(as(kMember, {QM_BUS_POLICY_PROBE, address_, "serve"}),
                        ChildProcess::Options{environment(), std::nullopt, std::nullopt});
    const std::optional<std::string> hello = client.readLine(ChildProcess::Stream::Out, kBound);
    ASSERT_TRUE(hello);
    std::istringstream fields(*hello);
    std::string word, unique, sink, advised;
    fields >> word >> unique >> sink >> advised;
    ASSERT_EQ(word, "name");
    ASSERT_EQ(advised, "0") << "AdviceSink failed";

    // The service's own notification reaches the member's sink through the policy.
    const Completed plug = qmctl({"sim", "plug", "Rowan", "SN1004"}, &kMember);
    ASSERT_EQ(plug.exitCode, 0) << plug.err;
    std::optional<std::string> line;
    while ((line = client.readLine(ChildProcess::Stream::Out, kBound)) &&
           *line != "notify SN1004 2") {
    }
    EXPECT_EQ(line, "notify SN1004 2");

    const std::string notify = "com.quillmere.DeviceNotify.OnDeviceNotify ";
    const std::string poke = "com.quillmere.Probe.Poke ";
    auto callSink = [&](const Account& account, const char* interface, const char* method,
                        const char* signature) {
        return probe(&account, {"call", unique, sink, interface, method, signature, "SN0"}).out;
    };
    EXPECT_EQ(callSink(kServiceUser, "com.quillmere.DeviceNotify", "OnDeviceNotify", "si"),
              notify + "ok\n");
    EXPECT_EQ(callSink(kServiceUser, "com.quillmere.Probe", "Poke", ""),
              poke + kAccessDenied + "\n");
    EXPECT_EQ(callSink(kOutsider, "com.quillmere.DeviceNotify", "OnDeviceNotify", "si"),
              notify + kAccessDenied + "\n");
    client.signal(SIGTERM);
    EXPECT_EQ(client.waitForExit(kBound), 0);
}

}  // namespace
}  // namespace qm::e2e
