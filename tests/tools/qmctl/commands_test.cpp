#include "tools/qmctl/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/runtime/virtual_clock.h"
#include "fake_service.h"
#include "tools/qmctl/exit_codes.h"

namespace qm::qmctl {
namespace {

using testing::FakeServiceAccess;

// Runs command lines against the fakes and keeps what they print.
class Commands : public ::testing::Test {
  protected:
    int run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        const ParseResult parsed = parseCommandLine(args);
        if (!parsed.invocation)
            return reportUsageError(parsed, err_);
        CommandContext context{service_, out_, err_, queue_, clock_};
        return runCommand(*parsed.invocation, context);
    }
    std::string out() const { return out_.str(); }
    std::string err() const { return err_.str(); }
    testing::FakeManager& manager() { return *service_.manager; }

    FakeServiceAccess service_;
    VirtualClock clock_;
    WatchQueue queue_{clock_};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(Commands, UsageErrorsPointToTheHelpAndNeverReachTheService) {
    EXPECT_EQ(run({"set", "SN1001", "Foo", "1"}), kExitUsage);
    EXPECT_EQ(err().rfind("qmctl: unknown setting \"Foo\"", 0), 0u);
    EXPECT_NE(err().find("\nTry 'qmctl help set'.\n"), std::string::npos);
    EXPECT_EQ(run({"set", "SN1001", "LPF", "300"}), kExitUsage);
    EXPECT_EQ(run({"frobnicate"}), kExitUsage);
    EXPECT_EQ(err(), "qmctl: unknown command \"frobnicate\"\nTry 'qmctl --help'.\n");
    EXPECT_EQ(service_.connects, 0);
}

TEST_F(Commands, HelpGoesToStandardOutputWithTheExitCodes) {
    EXPECT_EQ(run({"--help"}), kExitOk);
    EXPECT_NE(out().find("Exit codes:"), std::string::npos);
    EXPECT_NE(out().find("  3  the service is not running"), std::string::npos);
    EXPECT_EQ(run({"set", "--help"}), kExitOk);
    EXPECT_EQ(out().rfind("Usage: qmctl set SERIAL SETTING VALUE", 0), 0u);
    EXPECT_NE(out().find("  EQ_3_GAIN      Set_EQ_GAIN(3, VALUE)\n"), std::string::npos);
    EXPECT_NE(out().find("  ALC_VOLUME     read only"), std::string::npos);
    EXPECT_NE(out().find("Exit codes:"), std::string::npos);
    EXPECT_EQ(run({"help", "sim"}), kExitOk);
    EXPECT_NE(out().find("Usage: qmctl sim fault"), std::string::npos);
    EXPECT_NE(out().find("Usage: qmctl sim plug MODEL SERIAL"), std::string::npos);
    EXPECT_TRUE(err().empty());
}

TEST_F(Commands, AServiceThatIsNotRunningGivesThree) {
    service_.manager.reset();
    EXPECT_EQ(run({"list"}), kExitServiceUnavailable);
    EXPECT_EQ(err(),
              "qmctl: the service is not running on the unix:path=/tmp/test-bus bus "
              "(RPC_S_SERVER_UNAVAILABLE (0x800706BA))\n");
    EXPECT_TRUE(out().empty());
    service_.connectResult = ipc::kCallTimedOut;
    EXPECT_EQ(run({"show", "SN1"}), kExitServiceUnavailable);
    EXPECT_NE(err().find("does not answer"), std::string::npos);
    // A user the bus's policy keeps out is told why.
    service_.connectResult = sdk::E_ACCESSDENIED;
    EXPECT_EQ(run({"list"}), kExitServiceUnavailable);
    EXPECT_NE(err().find("refused the call (E_ACCESSDENIED (0x80070005)): only root and members "
                         "of the group quillmere"),
              std::string::npos)
        << err();
}

TEST_F(Commands, ListShowsTheGroups) {
    manager().add("SN1002", "Cedar");
    manager().add("SN1001", "Alder");
    EXPECT_EQ(run({"list"}), kExitOk);
    EXPECT_EQ(out(), "Alder\n  SN1001  started\nCedar\n  SN1002  started\n");
    EXPECT_EQ(run({"list", "--json"}), kExitOk);
    EXPECT_EQ(out().rfind("{\"microphones\":[{\"serial\":\"SN1001\"", 0), 0u);

    manager().enumResult = ipc::kCallTimedOut;
    EXPECT_EQ(run({"list"}), kExitCallFailed);
    EXPECT_EQ(err(),
              "qmctl: reading the list of microphones failed: ERROR_TIMEOUT "
              "(0x800705B4); the service did not answer in time (see --timeout)\n");
}

TEST_F(Commands, AnUnknownSerialGivesFour) {
    manager().add("SN1001", "Alder");
    for (const std::vector<std::string>& line : {std::vector<std::string>{"show", "SN9"},
                                                 {"set", "SN9", "LPF", "1"},
                                                 {"reset", "SN9"},
                                                 {"rename", "SN9", "--description", "x"},
                                                 {"remove", "SN9"}}) {
        EXPECT_EQ(run(line), kExitUnknownSerial) << line[0];
        EXPECT_EQ(err(),
                  "qmctl: no microphone with serial number \"SN9\" is known to the "
                  "service\n");
    }
    EXPECT_EQ(manager().devices.size(), 1u);
}

TEST_F(Commands, ShowPrintsTheDescriptionAndFailsOnOneThatCannotBeRead) {
    auto mic = manager().add("SN1001", "Alder");
    mic->xml = "<Device SN=\"SN1001\" Name=\"Alder\" LPF=\"9\"/>";
    EXPECT_EQ(run({"show", "sn1001"}), kExitOk);
    EXPECT_NE(out().find("  LPF            9    0x09\n"), std::string::npos);
    EXPECT_EQ(run({"show", "SN1001", "--json"}), kExitOk);
    EXPECT_NE(out().find("\"settings\":{\"LPF\":9}"), std::string::npos);

    mic->xml = "<Device";
    EXPECT_EQ(run({"show", "SN1001"}), kExitCallFailed);
    EXPECT_EQ(err().rfind("qmctl: the service's description of SN1001 can't be read: ", 0), 0u);
}

TEST_F(Commands, SetReportsTheOutcomeAndExitsByIt) {
    auto mic = manager().add("SN1001", "Alder");
    EXPECT_EQ(run({"set", "sn1001", "eq_3_gain", "0xC8"}), kExitOk);
    EXPECT_EQ(out(),
              "sn1001: Set_EQ_GAIN(3, 200) returned S_OK; the microphone acknowledged "
              "the change\n");
    EXPECT_TRUE(err().empty());

    mic->lastStatus = sdk::E_FAIL;
    EXPECT_EQ(run({"set", "SN1001", "LPF", "5", "--json"}), kExitChangeRefused);
    EXPECT_NE(out().find("\"acknowledged\":false"), std::string::npos);
    EXPECT_EQ(err(),
              "qmctl: the microphone did not acknowledge Set_LPF(5); its status was "
              "reset\n");

    mic->lastStatus = sdk::S_OK;
    mic->changeResult = sdk::E_NOINTERFACE;
    EXPECT_EQ(run({"set", "SN1001", "LPF", "5"}), kExitCallFailed);
    EXPECT_EQ(err(),
              "qmctl: Set_LPF(5) failed: E_NOINTERFACE (0x80004002); the microphone is "
              "not started, or it did not answer\n");
}

TEST_F(Commands, SetWarnsAboutASettingTheModelLacksButSendsIt) {
    auto mic = manager().add("SN1002", "Cedar");
    EXPECT_EQ(run({"set", "SN1002", "Beam", "1"}), kExitOk);
    EXPECT_EQ(err(),
              "qmctl: warning: a microphone of model \"Cedar\" has no Beam; the value is "
              "sent anyway\n");
    const auto calls = mic->calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetBeam(1)"), calls.end());

    EXPECT_EQ(run({"set", "SN1002", "OUT_VOLUME", "24"}), kExitOk);
    EXPECT_TRUE(err().empty());
}

TEST_F(Commands, RenameResetAndRemove) {
    auto mic = manager().add("SN1001", "Alder");
    EXPECT_EQ(run({"rename", "SN1001", "--friendly-name", "Desk", "--description", "left"}),
              kExitOk);
    EXPECT_EQ(mic->friendlyName, "Desk");
    EXPECT_EQ(mic->description, "left");
    EXPECT_EQ(out(), "SN1001: friendly name \"Desk\"\nSN1001: description \"left\"\n");

    mic->identityResult = sdk::E_INVALIDARG;
    EXPECT_EQ(run({"rename", "SN1001", "--friendly-name", "X"}), kExitCallFailed);
    EXPECT_EQ(run({"reset", "SN1001"}), kExitCallFailed);
    mic->identityResult = sdk::S_OK;
    EXPECT_EQ(run({"reset", "SN1001"}), kExitOk);

    EXPECT_EQ(run({"remove", "SN1001"}), kExitOk);
    EXPECT_EQ(manager().removedBySerial, std::vector<std::string>{"SN1001"});
    EXPECT_TRUE(manager().devices.empty());
}

TEST_F(Commands, RemoveInactiveSaysWhichWent) {
    manager().add("SN1", "Alder");
    manager().add("SN2", "Alder")->started = sdk::S_FALSE;
    manager().add("SN3", "Cedar")->started = sdk::S_FALSE;
    EXPECT_EQ(run({"remove-inactive"}), kExitOk);
    EXPECT_EQ(out(), "Removed 2 microphones: SN2 SN3\n");
    EXPECT_EQ(run({"remove-inactive"}), kExitOk);
    EXPECT_EQ(out(), "No microphone was inactive; none was removed.\n");
    EXPECT_EQ(manager().removeAllInactiveCalls, 2);
}

TEST_F(Commands, LogFolderGetsAndSetsAnAbsolutePath) {
    EXPECT_EQ(run({"log-folder"}), kExitOk);
    EXPECT_EQ(out(), "/var/log/quillmere\n");
    EXPECT_EQ(run({"log-folder", "--json"}), kExitOk);
    EXPECT_EQ(out(), "{\"logFolder\":\"/var/log/quillmere\"}\n");

    EXPECT_EQ(run({"log-folder", "logs"}), kExitOk);
    EXPECT_EQ(manager().logFolder, (std::filesystem::current_path() / "logs").string());
    EXPECT_EQ(run({"log-folder", "/srv/q"}), kExitOk);
    EXPECT_EQ(manager().logFolder, "/srv/q");
    manager().setLogFolderResult = ipc::kServiceUnavailable;
    EXPECT_EQ(run({"log-folder", "/x"}), kExitServiceUnavailable);
}

TEST_F(Commands, SimCommandsCallTheSimulator) {
    auto& sim = *service_.simulator;
    EXPECT_EQ(run({"sim", "plug", "Rowan", "SN1004"}), kExitOk);
    EXPECT_EQ(out(), "SN1004: plugged in (Rowan)\n");
    EXPECT_EQ(run({"sim", "fault", "SN1004", "reject-changes", "--count", "-1", "--value", "3"}),
              kExitOk);
    EXPECT_EQ(run({"sim", "plug-foreign", "Cam", "--json"}), kExitOk);
    EXPECT_EQ(out(), "{\"endpointId\":\"{0.0.1.00000000}.foreign-Cam\"}\n");
    EXPECT_EQ(run({"sim", "unplug-foreign", "{0.0.1.00000000}.foreign-Cam"}), kExitOk);
    sim.microphones = {{"SN1004", "Rowan", true}};
    EXPECT_EQ(run({"sim", "list", "--json"}), kExitOk);
    EXPECT_EQ(out(),
              "{\"microphones\":[{\"serial\":\"SN1004\",\"model\":\"Rowan\","
              "\"plugged\":true}]}\n");
    EXPECT_EQ(sim.calls,
              (std::vector<std::string>{
                  "Plug(Rowan, SN1004)", "SetFault(SN1004, reject-changes, -1, 3)",
                  "PlugForeign(Cam)", "UnplugForeign({0.0.1.00000000}.foreign-Cam)", "List"}));

    sim.result = sdk::S_FALSE;
    EXPECT_EQ(run({"sim", "plug", "Rowan", "SN1004"}), kExitOk);
    EXPECT_EQ(out(), "SN1004: plugged in already\n");
}

TEST_F(Commands, SimFailuresAreExplained) {
    auto& sim = *service_.simulator;
    sim.result = sdk::E_INVALIDARG;
    EXPECT_EQ(run({"sim", "unplug", "SN9"}), kExitUnknownSerial);
    EXPECT_EQ(err(), "qmctl: no virtual microphone with serial number \"SN9\" is plugged in\n");
    EXPECT_EQ(run({"sim", "fault", "SN9", "slow", "--value", "50"}), kExitUnknownSerial);
    EXPECT_EQ(run({"sim", "plug", "Alder", "SN1002"}), kExitCallFailed);
    EXPECT_EQ(err(),
              "qmctl: the simulator refused: \"SN1002\" is a virtual microphone of "
              "another model\n");

    sim.result = ipc::kObjectDisconnected;
    EXPECT_EQ(run({"sim", "list"}), kExitCallFailed);
    EXPECT_EQ(err(),
              "qmctl: the service on the unix:path=/tmp/test-bus bus does not simulate "
              "microphones (start it with --simulate)\n");
    sim.result = ipc::kServiceUnavailable;
    EXPECT_EQ(run({"sim", "list"}), kExitServiceUnavailable);
    service_.simulator.reset();
    EXPECT_EQ(run({"sim", "list"}), kExitServiceUnavailable);
}

}  // namespace
}  // namespace qm::qmctl
