#include "common/profiles/profile_applier.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/profiles/apply_steps.h"
#include "common/runtime/virtual_clock.h"
#include "scripted_device.h"

namespace qm::profiles {
namespace {

using namespace std::chrono_literals;
using settings::Setting;
using testing::ScriptedDevice;
using Image = EntryImage;

// Pauses cost no time; they are counted, and the run can be told to stop before pause n.
class CountingPacer final : public ApplyPacer {
  public:
    bool pause(Duration d) override {
        pauses.push_back(d);
        return static_cast<int>(pauses.size()) != stopAtPause;
    }
    bool stopRequested() const override { return false; }

    std::vector<Duration> pauses;
    int stopAtPause = -1;
};

CProfile profileOf(const std::string& model) {
    CProfile p;
    p.model = model;
    for (std::size_t i = 0; i < settings::kSettingCount; ++i)
        p.values[i] = std::to_string(i + 1);
    return p;
}

std::vector<int> stepsOf(const ApplyOutcome& outcome) {
    std::vector<int> steps;
    for (const StepRecord& s : outcome.steps)
        steps.push_back(s.step);
    return steps;
}

// Steps `from` to `to`, then `more`.
std::vector<int> range(int from, int to, std::initializer_list<int> more = {}) {
    std::vector<int> r;
    for (int i = from; i <= to; ++i)
        r.push_back(i);
    r.insert(r.end(), more);
    return r;
}

struct ApplyRun {
    ScriptedDevice device;
    ApplyLog log;
    CountingPacer pacer;
    ApplyOutcome apply(const CProfile& profile, const RollbackValues* rollback = nullptr) {
        return applyProfile(profile, device, log, pacer, {}, rollback);
    }
};

TEST(ProfileApply, EachModelGetsItsSteps) {
    const std::vector<std::pair<std::string, std::vector<int>>> cases = {
        {"Cedar", range(1, 19, {23})},
        {"Larch", range(1, 19, {23, 24})},
        {"Rowan", range(1, 19, {23, 24})},
        {"Alder", range(1, 22)},
        {"birch", range(1, 22)},  // no output volume step, although a Birch has one
        {"CP2114 USB-Audio Bridge", range(1, 22)},
        {"Oak", range(1, 19)},
    };
    for (const auto& [model, steps] : cases) {
        ApplyRun run;
        const ApplyOutcome outcome = run.apply(profileOf(model));
        EXPECT_EQ(outcome.result, ApplyOutcome::Result::Applied);
        EXPECT_EQ(stepsOf(outcome), steps) << model;
        // One 200 ms pause before each step, two log entries' worth of calls per step.
        EXPECT_EQ(run.pacer.pauses, std::vector<Duration>(steps.size(), 200ms)) << model;
        EXPECT_EQ(run.device.calls.size(), steps.size() * 2) << model;
        EXPECT_EQ(run.log.size(), steps.size());
    }
}

TEST(ProfileApply, EveryStepSendsItsValueToItsCall) {
    CProfile profile = profileOf("Larch");
    profile.value(Setting::Volume) = " 145";
    profile.value(Setting::HPF_1) = "-1";
    profile.value(Setting::LPF) = "loud";
    profile.value(Setting::TPA) = "";  // a file without TPA
    profile.value(Setting::OUT_VOLUME) = "300";
    ApplyRun run;
    run.apply(profile);
    EXPECT_EQ(run.device.changeCalls(), (std::vector<std::string>{"SetVolume(145)",
                                                                  "Set_ALC_RECOVERY(20)",
                                                                  "Set_ALC_MODE(21)",
                                                                  "Set_ALC_REF_VALUE(22)",
                                                                  "Set_HPF_1(255)",
                                                                  "Set_HPF_2(6)",
                                                                  "Set_LPF(0)",
                                                                  "Set_EQ_NOTCH(8)",
                                                                  "Set_EQ_GAIN(1, 9)",
                                                                  "Set_EQ_GAIN(2, 10)",
                                                                  "Set_EQ_GAIN(3, 11)",
                                                                  "Set_EQ_GAIN(4, 12)",
                                                                  "Set_EQ_GAIN(5, 13)",
                                                                  "Set_EQ_POWER(14)",
                                                                  "Set_EQ_BAND_MODE(1, 15)",
                                                                  "Set_EQ_BAND_MODE(2, 16)",
                                                                  "Set_EQ_BAND_MODE(3, 17)",
                                                                  "Set_EQ_BAND_MODE(4, 18)",
                                                                  "Set_EQ_BAND_MODE(5, 19)",
                                                                  "Set_Ext_OutVolume(44)",
                                                                  "Set_Ext_TPA(0)"}));
    const std::vector<std::string> alder = [] {
        ApplyRun alderRun;
        alderRun.apply(profileOf("Alder"));
        return alderRun.device.changeCalls();
    }();
    EXPECT_EQ(std::vector<std::string>(alder.end() - 3, alder.end()),
              (std::vector<std::string>{"SetDirectionVolume(1)", "SetBeam(3)", "SetZoom(2)"}));
}

TEST(ProfileApply, ARefusedChangeIsRetriedAndLogged) {
    ApplyRun run;
    run.device.refused = {5};  // the first attempt of step 5
    const ApplyOutcome outcome = run.apply(profileOf("Cedar"));
    EXPECT_EQ(outcome.result, ApplyOutcome::Result::Applied);
    EXPECT_EQ(outcome.steps[4].attempts, 2);

    const auto entries = run.log.entries();
    ASSERT_EQ(entries.size(), 21u);
    EXPECT_EQ(entries[3],
              (ApplyEntry{"Apply profile ALC Refernce value sucessfully!", Image::Success, false}));
    EXPECT_EQ(entries[4], (ApplyEntry{"Apply profile HPF 1 filter error!", Image::Error, false}));
    EXPECT_EQ(entries[5],
              (ApplyEntry{"Apply profile HPF 1 filter sucessfully!", Image::Success, false}));
    EXPECT_EQ(entries[6].text, "Apply profile HPF 2 filter sucessfully!");
    EXPECT_FALSE(run.log.inProgress());
    // The refusal is reset before the retry, and the retry has no pause of its own.
    const std::vector<std::string> calls(run.device.calls.begin() + 8,
                                         run.device.calls.begin() + 14);
    EXPECT_EQ(calls, (std::vector<std::string>{"Set_HPF_1(5)", "GetLastStatus", "ResetStatus",
                                               "Set_HPF_1(5)", "GetLastStatus", "Set_HPF_2(6)"}));
    EXPECT_EQ(run.pacer.pauses.size(), 20u);
}

TEST(ProfileApply, AChangeCallThatFailsIsNoAcknowledgementEvenWhenTheLastStatusIsGood) {
    ApplyRun run;
    EXPECT_CALL(run.device, Set_HPF_1(::testing::_))
        .WillOnce(::testing::Return(sdk::E_NOINTERFACE))
        .WillRepeatedly(::testing::Return(sdk::S_OK));
    const ApplyOutcome outcome = run.apply(profileOf("Cedar"));
    EXPECT_EQ(outcome.result, ApplyOutcome::Result::Applied);
    EXPECT_EQ(outcome.steps[4].attempts, 2);
}

TEST(ProfileApply, TheLogShowsEachEntryStartingThenEnding) {
    ApplyRun run;
    run.device.refused = {1};
    std::vector<std::string> seen;
    run.log.setListener([&](ApplyLog::Change change, std::size_t index, const ApplyEntry& e) {
        seen.push_back((change == ApplyLog::Change::Added ? "+" : "=") + std::to_string(index) +
                       " " + e.text + (e.inProgress ? " (in progress)" : ""));
    });
    CProfile profile = profileOf("Cedar");
    run.pacer.stopAtPause = 2;  // stop before the second step
    const ApplyOutcome outcome = run.apply(profile);
    EXPECT_EQ(outcome.result, ApplyOutcome::Result::Stopped);
    EXPECT_EQ(seen, (std::vector<std::string>{"+0 Apply profile DSP volume ... (in progress)",
                                              "=0 Apply profile DSP volume error!",
                                              "+1 Apply profile DSP volume try 2 ... (in progress)",
                                              "=1 Apply profile DSP volume sucessfully!"}));
    run.log.setListener({});
    run.log.add("after", Image::Success);
    EXPECT_EQ(seen.size(), 4u);
}

TEST(ProfileApply, NineRefusalsEndTheRunWithTheRemainingStepsNotMade) {
    ApplyRun run;
    run.device.refused = {5, 6, 7, 8, 9, 10, 11, 12, 13};
    const ApplyOutcome outcome = run.apply(profileOf("Alder"));
    EXPECT_EQ(outcome.result, ApplyOutcome::Result::StepFailed);
    EXPECT_EQ(outcome.failedStep, 5);
    EXPECT_EQ(stepsOf(outcome), range(1, 5));
    EXPECT_EQ(outcome.steps.back().attempts, 9);
    EXPECT_FALSE(outcome.steps.back().acknowledged);

    const auto entries = run.log.entries();
    ASSERT_EQ(entries.size(), 4u + 9u);
    for (std::size_t i = 4; i < entries.size(); ++i)
        EXPECT_EQ(entries[i],
                  (ApplyEntry{"Apply profile HPF 1 filter error!", Image::Error, false}));
    EXPECT_EQ(run.device.changeCalls().size(), 4u + 9u);
    EXPECT_EQ(run.device.calls.back(), "ResetStatus");
    EXPECT_TRUE(outcome.restored.empty());  // no rollback asked for
}

TEST(ProfileApply, ARollbackSetsBackWhatAFailedRunTouched) {
    ApplyRun run;
    run.device.refused = {10, 11, 12, 13, 14, 15, 16, 17, 18};  // step 10, for good
    RollbackValues before;
    for (std::size_t i = 0; i < settings::kSettingCount; ++i)
        before[i] = static_cast<std::uint8_t>(100 + i);
    before[settings::indexOf(Setting::ALC_MODE)].reset();  // not in the description
    const ApplyOutcome outcome = run.apply(profileOf("Alder"), &before);
    EXPECT_EQ(outcome.failedStep, 10);
    const auto changes = run.device.changeCalls();
    EXPECT_EQ(std::vector<std::string>(changes.begin() + 18, changes.end()),
              (std::vector<std::string>{"Set_EQ_GAIN(2, 109)", "Set_EQ_GAIN(1, 108)",
                                        "Set_EQ_NOTCH(107)", "Set_LPF(103)", "Set_HPF_2(105)",
                                        "Set_HPF_1(104)", "Set_ALC_REF_VALUE(121)",
                                        "Set_ALC_RECOVERY(119)", "SetVolume(106)"}));
    ASSERT_EQ(outcome.restored.size(), 9u);
    EXPECT_EQ(outcome.restored.front().setting, Setting::EQ_2_GAIN);
    EXPECT_TRUE(outcome.restored.front().acknowledged);
    EXPECT_EQ(run.log.entries().back().text, "Restored DSP volume to 106");
}

TEST(ProfileApply, RollbackValuesComeFromTheDescription) {
    ScriptedDevice device;
    device.xml = "<?xml version=\"1.0\"?><Device Name=\"Cedar\" LPF=\"7\" DspVolume=\"x\"/>";
    std::string error;
    const auto values = readRollbackValues(device, error);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[settings::indexOf(Setting::LPF)], 7);
    EXPECT_EQ((*values)[settings::indexOf(Setting::Volume)], 0);
    EXPECT_FALSE((*values)[settings::indexOf(Setting::TPA)]);
    device.xmlResult = sdk::E_NOINTERFACE;
    EXPECT_FALSE(readRollbackValues(device, error));
}

TEST(ProfileApply, AClockPacerWaitsOnItsClockAndEndsOnAStop) {
    VirtualClock clock(VirtualClock::Mode::Manual);
    std::stop_source stop;
    ClockPacer pacer(clock, stop.get_token());
    std::atomic<int> finished{0};
    std::jthread waiting([&] {
        finished = pacer.pause(200ms) ? 1 : -1;
        finished = finished + (pacer.pause(200ms) ? 10 : -10);
    });
    clock.awaitBlocked(1);
    clock.advance(199ms);
    EXPECT_EQ(finished.load(), 0);
    clock.advance(1ms);
    while (finished.load() == 0)
        std::this_thread::yield();
    EXPECT_EQ(finished.load(), 1);
    clock.awaitBlocked(1);
    stop.request_stop();  // the second pause ends without the clock moving
    waiting.join();
    EXPECT_EQ(finished.load(), -9);
    EXPECT_TRUE(pacer.stopRequested());
}

}  // namespace
}  // namespace qm::profiles
