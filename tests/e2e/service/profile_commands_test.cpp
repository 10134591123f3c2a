// qmctl's profile commands against the running service with virtual microphones: saving,
// applying with the simulator's refusals, rollback, and the profile files themselves.
#include <pugixml.hpp>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "service_fixture.h"

namespace qm::e2e {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kApplyBound = 120s;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

std::size_t count(const std::vector<std::string>& all, const std::string& line) {
    return static_cast<std::size_t>(std::count(all.begin(), all.end(), line));
}

// The step numbers of the steps an apply made, from its JSON 'finished' object.
std::vector<int> appliedSteps(const std::string& json) {
    std::vector<int> steps;
    const std::string finished = lines(json).back();
    const std::regex step("\"step\":([0-9]+)");
    for (auto it = std::sregex_iterator(finished.begin(), finished.end(), step);
         it != std::sregex_iterator(); ++it)
        steps.push_back(std::stoi((*it)[1]));
    return steps;
}

std::vector<int> range(int from, int to, std::initializer_list<int> more = {}) {
    std::vector<int> r;
    for (int i = from; i <= to; ++i)
        r.push_back(i);
    r.insert(r.end(), more);
    return r;
}

std::string logText(const std::filesystem::path& folder) {
    std::string all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::ifstream in(entry.path());
        std::ostringstream text;
        text << in.rdbuf();
        all += text.str();
    }
    return all;
}

class ProfileCommands : public ServiceFixture {
  protected:
    void startAndRead(const std::string& microphones = kThreeMicrophones) {
        ASSERT_NO_FATAL_FAILURE(startService(microphones));
        ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1001", "SN1002", "SN1003"}));
    }

    // Saves a microphone's settings; the new profile's ID.
    std::string save(const std::string& serial) {
        const Completed run = qmctl({"profile", "save", serial, "Saved " + serial, "--json"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::smatch id;
        EXPECT_TRUE(std::regex_search(run.out, id, std::regex("\"id\":\"([0-9A-F-]{36})\"")))
            << run.out;
        return id.empty() ? std::string() : id[1].str();
    }

    void set(const std::string& serial, const std::string& setting, const std::string& value) {
        const Completed run = qmctl({"set", serial, setting, value});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    void fault(const std::string& serial, const std::string& name, int frames) {
        const Completed run =
            qmctl({"sim", "fault", serial, name, "--count", std::to_string(frames)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    // The setting attributes of the service's description of a microphone.
    std::map<std::string, std::string> described(const std::string& serial) {
        std::map<std::string, std::string> values;
        const auto client = connect();
        std::string xml;
        EXPECT_TRUE(client && deviceOf(*client, serial) &&
                    sdk::SUCCEEDED(deviceOf(*client, serial)->GetDeviceXML(xml)));
        pugi::xml_document document;
        document.load_string(xml.c_str());
        for (const auto& attribute : document.child("Device").attributes()) {
            const std::string name = attribute.name();
            if (name != "SN" && name != "ContainerID" && name != "Name" && name != "FriendlyName" &&
                name != "Description")
                values[name] = attribute.value();
        }
        return values;
    }

    // Waits, within the bound of an apply, until the service's logs hold `line` (log lines
    // reach the disk through the log writer's own thread).
    bool waitForLog(const std::string& line) {
        const auto deadline = std::chrono::steady_clock::now() + kApplyBound;
        while (logText(logFolder()).find(line) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            pause(50ms);
        }
        return true;
    }
};

TEST_F(ProfileCommands, OneRefusalAtStepFiveIsRetriedOnce) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    const std::string id = save("SN1001");
    fault("SN1001", "pass-frames", 4);  // steps 1 to 4 go through
    fault("SN1001", "reject-changes", 1);
    const Completed run = qmctl({"profile", "apply", "SN1001", id, "--json"}, kApplyBound);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> events = lines(run.out);
    ASSERT_GE(events.size(), 14u) << run.out;
    EXPECT_EQ(
        std::vector<std::string>(events.begin() + 8, events.begin() + 14),
        (std::vector<std::string>{
            R"({"event":"added","index":4,"text":"Apply profile HPF 1 filter value ...","state":"in-progress"})",
            R"({"event":"changed","index":4,"text":"Apply profile HPF 1 filter error!","state":"error"})",
            R"({"event":"added","index":5,"text":"Apply profile HPF 1 filter value try 2 ...","state":"in-progress"})",
            R"({"event":"changed","index":5,"text":"Apply profile HPF 1 filter sucessfully!","state":"success"})",
            R"({"event":"added","index":6,"text":"Apply profile HPF 2 filter value ...","state":"in-progress"})",
            R"({"event":"changed","index":6,"text":"Apply profile HPF 2 filter sucessfully!","state":"success"})"}));
    EXPECT_EQ(appliedSteps(run.out), range(1, 22));
}

TEST_F(ProfileCommands, EachModelAppliesItsOwnSteps) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    // The three applies run at once, one per microphone.
    std::map<std::string, std::unique_ptr<ChildProcess>> runs;
    for (const std::string serial : {"SN1001", "SN1002", "SN1003"})
        runs[serial] = startQmctl({"profile", "apply", serial, save(serial), "--json"});
    std::map<std::string, std::vector<int>> steps;
    for (auto& [serial, process] : runs) {
        std::string out, err;
        process->drainBoth(kApplyBound, out, err);
        EXPECT_EQ(process->waitForExit(kBound), 0) << serial << ": " << err;
        steps[serial] = appliedSteps(out);
    }
    EXPECT_EQ(steps["SN1001"], range(1, 22));            // Alder
    EXPECT_EQ(steps["SN1002"], range(1, 19, {23}));      // Cedar
    EXPECT_EQ(steps["SN1003"], range(1, 19, {23, 24}));  // Larch
}

TEST_F(ProfileCommands, AProfileMakesASecondMicrophoneOfTheModelAgree) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    ASSERT_EQ(qmctl({"sim", "plug", "Larch", "SN1004"}).exitCode, 0);
    ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1004"}));
    for (const auto& [setting, value] : std::map<std::string, std::string>{{"Volume", "100"},
                                                                           {"LPF", "4"},
                                                                           {"EQ_3_GAIN", "40"},
                                                                           {"EQ_5_BW_MODE", "0x33"},
                                                                           {"ALC_MODE", "2"},
                                                                           {"OUT_VOLUME", "30"},
                                                                           {"TPA", "0xA0"}})
        ASSERT_NO_FATAL_FAILURE(set("SN1003", setting, value));
    const std::string id = save("SN1003");
    ASSERT_NE(described("SN1003"), described("SN1004"));

    const Completed run = qmctl({"profile", "apply", "SN1004", id}, kApplyBound);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(described("SN1004"), described("SN1003"));

    // Another model's profile is refused before anything is sent.
    const Completed other = qmctl({"profile", "apply", "SN1002", id});
    EXPECT_EQ(other.exitCode, 6);
    EXPECT_EQ(other.err, "qmctl: the profile is for a \"Larch\", SN1002 is a \"Cedar\"\n");
}

TEST_F(ProfileCommands, ARollbackAfterAStepFailedForGoodRestoresTheMicrophone) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    const std::string id = save("SN1001");
    for (const auto& [setting, value] : std::map<std::string, std::string>{{"Volume", "120"},
                                                                           {"HPF_1", "3"},
                                                                           {"LPF", "6"},
                                                                           {"EQ_1_GAIN", "33"},
                                                                           {"EQ_2_GAIN", "44"},
                                                                           {"EQ_5_GAIN", "55"}})
        ASSERT_NO_FATAL_FAILURE(set("SN1001", setting, value));
    const auto before = described("SN1001");

    fault("SN1001", "pass-frames", 9);     // steps 1 to 9 go through
    fault("SN1001", "reject-changes", 9);  // all nine attempts of step 10 are refused
    const Completed run = qmctl({"profile", "apply", "SN1001", id, "--rollback"}, kApplyBound);
    EXPECT_EQ(run.exitCode, 5) << run.err;
    EXPECT_EQ(described("SN1001"), before);
    const std::vector<std::string> out = lines(run.out);
    EXPECT_EQ(count(out, "Apply profile EQ Band 2 gain error!"), 9u) << run.out;
    EXPECT_NE(
        run.out.find("SN1001: step 10 (EQ band 2 gain) was not acknowledged after 9 attempts; "
                     "the steps after it were not made\n"
                     "SN1001: set back EQ_2_GAIN=44, EQ_1_GAIN=33, LPF=6, HPF_1=3, "
                     "Volume=120\n"),
        std::string::npos)
        << run.out;
    // The microphone itself, asked directly, has its values back.
    const auto device = deviceOf(*connect(), "SN1001");
    unsigned char notch = 0, gains[5] = {};
    ASSERT_EQ(
        device->GetStatusEQ_NOTCH_GAIN(notch, gains[0], gains[1], gains[2], gains[3], gains[4]),
        sdk::S_OK);
    EXPECT_EQ(gains[0], 33);
    EXPECT_EQ(gains[1], 44);
}

// Reads the watcher's lines until `wanted` comes, within the bound of an apply.
bool watchFor(ChildProcess& watcher, const std::string& wanted) {
    const auto deadline = std::chrono::steady_clock::now() + kApplyBound;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto line = watcher.readLine(ChildProcess::Stream::Out, 1s);
        if (line == wanted)
            return true;
    }
    return false;
}

TEST_F(ProfileCommands, AnAutomaticProfileIsAppliedEachTimeTheMicrophoneStarts) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    const std::map<std::string, std::string> saved = {
        {"LPF", "4"}, {"EQ_2_GAIN", "40"}, {"OUT_VOLUME", "30"}};
    for (const auto& [setting, value] : saved)
        ASSERT_NO_FATAL_FAILURE(set("SN1002", setting, value));
    const std::string id = save("SN1002");
    const auto profileValues = described("SN1002");
    for (const auto& [setting, value] : saved)
        ASSERT_NO_FATAL_FAILURE(set("SN1002", setting, "1"));

    const Completed chosen = qmctl({"profile", "auto", "SN1002", id});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_EQ(qmctl({"profile", "auto", "sn1002"}).out, "SN1002: automatic profile " + id + "\n");
    EXPECT_EQ(qmctl({"profile", "auto", "SN1001", id}).exitCode, 6);  // an Alder

    // No client runs while the microphone comes back: the store shows the profile arriving.
    ASSERT_EQ(qmctl({"sim", "unplug", "SN1002"}).exitCode, 0);
    ASSERT_EQ(qmctl({"sim", "plug", "Cedar", "SN1002"}).exitCode, 0);
    EXPECT_TRUE(waitForLog("AutoProfile - profile " + id + " applied"));
    EXPECT_EQ(cachedDword("SN1002", "LPF"), 4u);
    EXPECT_EQ(cachedDword("SN1002", "EQ_2_GAIN"), 40u);
    EXPECT_EQ(cachedDword("SN1002", "OUT_VOLUME"), 30u);
    EXPECT_NE(logText(logFolder())
                  .find("AutoProfile - Apply profile analog output volume "
                        "sucessfully!"),
              std::string::npos);
    ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1002"}));
    EXPECT_EQ(described("SN1002"), profileValues);

    // Clients hear when it is done: applied (5), or failed (6) when the microphone refuses.
    const auto watcher = startQmctl({"watch", "--json"});
    ASSERT_TRUE(watcher->readLine(ChildProcess::Stream::Out, 0ms) == std::nullopt);
    ASSERT_EQ(qmctl({"sim", "unplug", "SN1002"}).exitCode, 0);
    ASSERT_EQ(qmctl({"sim", "plug", "Cedar", "SN1002"}).exitCode, 0);
    EXPECT_TRUE(watchFor(*watcher, R"({"serial":"SN1002","state":5,"event":"profile-applied"})"));
    fault("SN1002", "reject-changes", -1);
    ASSERT_EQ(qmctl({"sim", "unplug", "SN1002"}).exitCode, 0);
    ASSERT_EQ(qmctl({"sim", "plug", "Cedar", "SN1002"}).exitCode, 0);
    EXPECT_TRUE(watchFor(*watcher, R"({"serial":"SN1002","state":6,"event":"profile-failed"})"));
    fault("SN1002", "clear", 1);
    // A profile that is gone fails too, and the log says why.
    ASSERT_EQ(qmctl({"profile", "remove", id}).exitCode, 0);
    ASSERT_EQ(qmctl({"sim", "unplug", "SN1002"}).exitCode, 0);
    ASSERT_EQ(qmctl({"sim", "plug", "Cedar", "SN1002"}).exitCode, 0);
    EXPECT_TRUE(watchFor(*watcher, R"({"serial":"SN1002","state":6,"event":"profile-failed"})"));
    EXPECT_TRUE(waitForLog("AutoProfile - profile " + id + ": no profile with this ID"));

    EXPECT_EQ(qmctl({"profile", "auto", "SN1002", "--off"}).exitCode, 0);
    EXPECT_EQ(qmctl({"profile", "auto", "SN1002"}).out, "SN1002: no automatic profile\n");
    watcher->signal(SIGINT);
    EXPECT_EQ(watcher->waitForExit(kBound), 0);
}

TEST_F(ProfileCommands, ProfileFilesAreListedRenamedMovedAndRemoved) {
    ASSERT_NO_FATAL_FAILURE(startAndRead());
    const std::string cedar = save("SN1002");
    const std::string larch = save("SN1003");

    const Completed list = qmctl({"profile", "list", "sn1002"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "Cedar\n  " + cedar + "  Saved SN1002\n");
    EXPECT_EQ(qmctl({"profile", "list", "Rowan"}).out, "No profiles for Rowan.\n");

    EXPECT_EQ(
        qmctl({"profile", "rename", cedar, "--name", "Booth", "--description", "dry"}).exitCode, 0);
    const Completed show = qmctl({"profile", "show", cedar, "--json"});
    EXPECT_NE(show.out.find("\"name\":\"Booth\",\"description\":\"dry\",\"model\":\"Cedar\","
                            "\"serial\":\"SN1002\""),
              std::string::npos)
        << show.out;

    const std::filesystem::path exported = profileFolder().parent_path() / "moved.xml";
    EXPECT_EQ(qmctl({"profile", "export", larch, exported.string()}).exitCode, 0);
    EXPECT_EQ(qmctl({"profile", "export", larch, exported.string()}).exitCode, 6);  // exists
    EXPECT_EQ(qmctl({"profile", "remove", larch}).exitCode, 0);
    EXPECT_EQ(qmctl({"profile", "show", larch}).exitCode, 6);
    const Completed imported = qmctl({"profile", "import", exported.string()});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out.rfind("Imported profile " + larch + " for Larch", 0), 0u)
        << imported.out;  // its identifier no longer clashes

    EXPECT_EQ(qmctl({"profile", "save", "SN9999", "x"}).exitCode, 4);
    EXPECT_EQ(qmctl({"profile", "save", "SN1001", ""}).exitCode, 2);
}

}  // namespace
}  // namespace qm::e2e
