// The built qmctl against the running service: what it prints, what it changes, its exit codes.
#include "service_fixture.h"

namespace qm::e2e {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class QmctlBinary : public ServiceFixture {
  protected:
    void startAndRead() {
        ASSERT_NO_FATAL_FAILURE(startService());
        ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1001", "SN1002", "SN1003"}));
    }
};

TEST_F(QmctlBinary, WithoutARunningServiceExitsWithThree) {
    const Completed run = qmctl({"list"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err.rfind("qmctl: the service is not running on the " + busAddress() + " bus", 0),
              0u)
        << run.err;
}

TEST_F(QmctlBinary, ListsAndShowsTheMicrophones) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    const Completed list = qmctl({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out,
              "Alder\n  SN1001  started\nCedar\n  SN1002  started\nLarch\n"
              "  SN1003  started\n");

    const Completed json = qmctl({"list", "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_TRUE(contains(json.out,
                         "{\"serial\":\"SN1002\",\"model\":\"Cedar\",\"product\":"
                         "\"Cedar\",\"friendlyName\":\"\",\"state\":\"started\""))
        << json.out;

    const Completed show = qmctl({"show", "sn1003"});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_TRUE(contains(show.out, "Microphone SN1003\n  Model          Larch\n")) << show.out;
    EXPECT_TRUE(contains(show.out, "  Vendor ID      10C4\n  Product ID     EAB0\n"));
    EXPECT_TRUE(contains(show.out, "\n  TPA            "));
    EXPECT_FALSE(contains(show.out, "DirVolume"));

    // The same query through the environment's bus.
    const Completed viaEnvironment =
        qmctlWithEnvironment({"show", "SN1001", "--json"}, {"QM_DBUS_ADDRESS=" + busAddress()});
    EXPECT_EQ(viaEnvironment.exitCode, 0) << viaEnvironment.err;
    EXPECT_TRUE(contains(viaEnvironment.out, "\"settings\":{\"DirVolume\":"));
}

TEST_F(QmctlBinary, ASetIsSeenInTheDescriptionAndTheStore) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    const Completed set = qmctl({"set", "SN1002", "lpf", "7"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out,
              "SN1002: Set_LPF(7) returned S_OK; the microphone acknowledged the change\n");
    EXPECT_TRUE(contains(qmctl({"show", "SN1002", "--json"}).out, "\"LPF\":7,"));
    EXPECT_EQ(cachedDword("SN1002", "LPF"), 7u);

    const Completed band = qmctl({"set", "SN1002", "EQ_2_BW_MODE", "0x23", "--json"});
    EXPECT_EQ(band.exitCode, 0) << band.err;
    EXPECT_TRUE(contains(band.out, "\"call\":\"Set_EQ_BAND_MODE(2, 35)\"")) << band.out;
    EXPECT_EQ(cachedDword("SN1002", "EQ_2_BW_MODE"), 0x23u);
    const auto client = connect();
    std::string xml;
    ASSERT_EQ(deviceOf(*client, "SN1002")->GetDeviceXML(xml), sdk::S_OK);
    EXPECT_TRUE(contains(xml, "EQ_2_BW_MODE=\"35\""));
}

TEST_F(QmctlBinary, ARefusedChangeExitsWithFiveAndTheNextOneGoesThrough) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    ASSERT_EQ(qmctl({"sim", "fault", "SN1001", "reject-changes"}).exitCode, 0);
    const Completed refused = qmctl({"set", "SN1001", "HPF_1", "3"});
    EXPECT_EQ(refused.exitCode, 5);
    EXPECT_EQ(refused.err,
              "qmctl: the microphone did not acknowledge Set_HPF_1(3); its status "
              "was reset\n");
    EXPECT_EQ(qmctl({"set", "SN1001", "HPF_1", "3"}).exitCode, 0);
}

TEST_F(QmctlBinary, WatchPrintsNotificationsAsTheyArriveUntilInterrupted) {
    ASSERT_NO_FATAL_FAILURE(startService());
    auto watch = startQmctl({"watch", "--json"});
    ASSERT_TRUE(watch->readLine(ChildProcess::Stream::Err, kBound));

    ASSERT_EQ(qmctl({"sim", "unplug", "SN1003"}).exitCode, 0);
    EXPECT_EQ(readLineMatching(*watch, ChildProcess::Stream::Out,
                               "{\"serial\":\"SN1003\",\"state\":0,\"event\":\"stopped\"}"),
              std::nullopt);
    ASSERT_EQ(qmctl({"sim", "plug", "Larch", "SN1003"}).exitCode, 0);
    EXPECT_EQ(readLineMatching(*watch, ChildProcess::Stream::Out,
                               "{\"serial\":\"SN1003\",\"state\":1,\"event\":\"started\"}"),
              std::nullopt);

    watch->signal(SIGINT);
    EXPECT_EQ(watch->waitForExit(kBound), 0);
    EXPECT_TRUE(serviceRunning());
}

TEST_F(QmctlBinary, RenameRemoveAndRemoveInactive) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    EXPECT_EQ(
        qmctl({"rename", "SN1001", "--friendly-name", "Desk", "--description", "left"}).exitCode,
        0);
    EXPECT_TRUE(contains(qmctl({"list"}).out, "  SN1001  started      Desk\n"));
    EXPECT_TRUE(contains(qmctl({"show", "SN1001"}).out, "  Description    left\n"));

    ASSERT_EQ(qmctl({"sim", "unplug", "SN1003"}).exitCode, 0);
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (!contains(qmctl({"list"}).out, "SN1003  not started")) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        pause();
    }
    const Completed inactive = qmctl({"remove-inactive"});
    EXPECT_EQ(inactive.exitCode, 0) << inactive.err;
    EXPECT_EQ(inactive.out, "Removed 1 microphone: SN1003\n");
    EXPECT_FALSE(cachedDeviceExists("SN1003"));

    EXPECT_EQ(qmctl({"remove", "sn1002"}).exitCode, 0);
    EXPECT_FALSE(cachedDeviceExists("SN1002"));
    EXPECT_EQ(qmctl({"remove", "SN1002"}).exitCode, 4);
    EXPECT_EQ(qmctl({"list"}).out, "Alder\n  SN1001  started      Desk\n");
}

TEST_F(QmctlBinary, LogFolderAndSimulator) {
    ASSERT_NO_FATAL_FAILURE(startService());
    const Completed folder = qmctl({"log-folder", "--json"});
    EXPECT_EQ(folder.exitCode, 0);
    EXPECT_TRUE(contains(folder.out, logFolder().string())) << folder.out;
    const auto moved = logFolder().parent_path() / "moved";
    EXPECT_EQ(qmctl({"log-folder", moved.string()}).exitCode, 0);
    EXPECT_EQ(qmctl({"log-folder"}).out, moved.string() + "\n");

    const Completed foreign = qmctl({"sim", "plug-foreign", "Webcam"});
    EXPECT_EQ(foreign.exitCode, 0);
    ASSERT_FALSE(foreign.out.empty());
    EXPECT_EQ(
        qmctl({"sim", "unplug-foreign", foreign.out.substr(0, foreign.out.size() - 1)}).exitCode,
        0);
    EXPECT_EQ(qmctl({"sim", "plug", "Birch", "SN1005"}).exitCode, 0);
    EXPECT_EQ(qmctl({"sim", "plug", "Birch", "SN1005"}).out, "SN1005: plugged in already\n");
    EXPECT_EQ(qmctl({"sim", "plug", "Alder", "SN1005"}).exitCode, 1);
    EXPECT_EQ(qmctl({"sim", "unplug", "SN9999"}).exitCode, 4);
    EXPECT_EQ(qmctl({"sim", "list"}).out,
              "  SN1001  Alder  plugged in\n"
              "  SN1002  Cedar  plugged in\n"
              "  SN1003  Larch  plugged in\n"
              "  SN1005  Birch  plugged in\n");
}

TEST_F(QmctlBinary, SimCommandsExplainAServiceThatDoesNotSimulate) {
    ASSERT_NO_FATAL_FAILURE(startService(""));  // no virtual microphones, no simulator
    const Completed run = qmctl({"sim", "list"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.err, "does not simulate microphones")) << run.err;
    EXPECT_EQ(qmctl({"list"}).out, "No microphones are known to the service.\n");
}

}  // namespace
}  // namespace qm::e2e
