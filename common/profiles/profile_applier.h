#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "common/profiles/apply_log.h"
#include "common/profiles/profile.h"
#include "common/runtime/clock.h"
#include "common/sdk/interfaces.h"

// Applying a profile to a microphone: the steps in order, each after a pause, each call
// followed by GetLastStatus and, when that is not 0, ResetStatus, and retried up to nine
// attempts in all. The first step that fails ends the run. Optionally, the settings a failed
// run has touched are set back to the values they had before.
namespace qm::profiles {

// How a run waits before each step and learns that it is to end.
class ApplyPacer {
  public:
    virtual ~ApplyPacer() = default;
    // Waits `pause` before a step; false (at once) when the run is to end.
    virtual bool pause(Duration pause) = 0;
    virtual bool stopRequested() const = 0;
};

// Pauses on a clock; the stop token ends a pause at once.
class ClockPacer final : public ApplyPacer {
  public:
    ClockPacer(Clock& clock, std::stop_token stop);
    bool pause(Duration pause) override;
    bool stopRequested() const override { return stop_.stop_requested(); }

  private:
    Clock& clock_;
    std::stop_token stop_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::unique_ptr<Clock::Subscription> subscription_;
};

struct ApplyPolicy {
    Duration stepPause = std::chrono::milliseconds(200);
    int attempts = 9;
};

// One step whose call was made.
struct StepRecord {
    int step = 0;
    settings::Setting setting{};
    std::uint8_t value = 0;
    int attempts = 0;
    bool acknowledged = false;
};

// One setting a rollback set back.
struct RestoreRecord {
    settings::Setting setting{};
    std::uint8_t value = 0;
    bool acknowledged = false;
};

struct ApplyOutcome {
    enum class Result { Applied, StepFailed, Stopped };
    Result result = Result::Applied;
    std::vector<StepRecord> steps;  // in order; a failed step is the last one
    std::optional<int> failedStep;
    std::vector<RestoreRecord> restored;  // with a rollback, in the order they were set back
};

// The values a rollback sets back, by setting; nothing where the description has none.
using RollbackValues = std::array<std::optional<std::uint8_t>, settings::kSettingCount>;

// The microphone's current values as its description gives them; nothing, with the reason in
// `error`, when the description can't be had or read.
std::optional<RollbackValues> readRollbackValues(sdk::IQMDevice& device, std::string& error);

// Runs the steps of `profile` that fit its "Name" on `device`, reporting each in `log`. With
// `rollback`, a run that ends on a failed step then sets back every setting whose call it made
// (the failed one too, which the service may have stored) and that it changed, last first, with
// the same pause and attempts, and reports that in the log as well.
ApplyOutcome applyProfile(const CProfile& profile, sdk::IQMDevice& device, ApplyLog& log,
                          ApplyPacer& pacer, const ApplyPolicy& policy = {},
                          const RollbackValues* rollback = nullptr);

}  // namespace qm::profiles
