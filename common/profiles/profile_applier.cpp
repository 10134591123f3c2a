#include "common/profiles/profile_applier.h"

#include <functional>

#include "common/profiles/apply_steps.h"
#include "common/profiles/profile_create.h"
#include "common/sdk/setting_calls.h"

namespace qm::profiles {
namespace {

// The texts of one step's entries.
struct StepTexts {
    std::string start;
    std::string success;
    std::string error;
    std::function<std::string(int attempt)> retry;
};

enum class StepEnd { Acknowledged, Failed, Stopped };

// One step: pause, entry, call, acknowledgement; retried without a further pause.
StepEnd runStep(sdk::IQMDevice& device, settings::Setting setting, std::uint8_t value,
                const StepTexts& texts, ApplyLog& log, ApplyPacer& pacer, const ApplyPolicy& policy,
                int& attempts) {
    attempts = 0;
    if (!pacer.pause(policy.stepPause))
        return StepEnd::Stopped;
    std::size_t entry = log.add(texts.start, EntryImage::InProgress);
    for (int attempt = 1;; ++attempt) {
        attempts = attempt;
        // A change the call itself refused (no channel, no service) is no acknowledgement, even
        // when the last status the microphone reported is still a success.
        const sdk::HRESULT sent = sdk::sendSettingChange(device, setting, value);
        const sdk::HRESULT status = device.GetLastStatus();
        if (sent == sdk::S_OK && status == sdk::S_OK) {
            log.finish(entry, texts.success, EntryImage::Success);
            return StepEnd::Acknowledged;
        }
        log.finish(entry, texts.error, EntryImage::Error);
        // The step is sent again or given up whatever the reset answers.
        static_cast<void>(device.ResetStatus());
        if (attempt >= policy.attempts)
            return StepEnd::Failed;
        if (pacer.stopRequested())
            return StepEnd::Stopped;
        entry = log.add(texts.retry(attempt + 1), EntryImage::InProgress);
    }
}

std::vector<RestoreRecord> rollBack(const std::vector<StepRecord>& steps,
                                    const RollbackValues& values, sdk::IQMDevice& device,
                                    ApplyLog& log, ApplyPacer& pacer, const ApplyPolicy& policy) {
    std::vector<RestoreRecord> restored;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        const auto& value = values[settings::indexOf(it->setting)];
        if (!value || (it->acknowledged && it->value == *value))
            continue;  // unknown, or never changed
        const std::string label(applySteps()[static_cast<std::size_t>(it->step - 1)].label);
        const std::string target = label + " to " + std::to_string(*value);
        const StepTexts texts{"Restore " + target + " ...", "Restored " + target,
                              "Restoring " + label + " failed", [&target](int attempt) {
                                  return "Restore " + target + " try " + std::to_string(attempt) +
                                         " ...";
                              }};
        int attempts = 0;
        const StepEnd end =
            runStep(device, it->setting, *value, texts, log, pacer, policy, attempts);
        if (end == StepEnd::Stopped)
            break;
        restored.push_back({it->setting, *value, end == StepEnd::Acknowledged});
    }
    return restored;
}

}  // namespace

ClockPacer::ClockPacer(Clock& clock, std::stop_token stop)
    : clock_(clock), stop_(std::move(stop)), subscription_(clock.subscribe(mutex_, cv_)) {}

bool ClockPacer::pause(Duration pause) {
    const std::stop_callback wake(stop_, [this] {
        std::lock_guard guard(mutex_);
        cv_.notify_all();
    });
    std::unique_lock lock(mutex_);
    const TimePoint deadline = clock_.now() + pause;
    while (!stop_.stop_requested() && clock_.waitUntil(lock, cv_, deadline)) {
    }
    return !stop_.stop_requested();
}

std::optional<RollbackValues> readRollbackValues(sdk::IQMDevice& device, std::string& error) {
    std::string xml;
    if (sdk::FAILED(device.GetDeviceXML(xml))) {
        error = kDeviceNotReady;
        return std::nullopt;
    }
    const std::optional<CProfile> current = profileFromDescription(xml, error);
    if (!current)
        return std::nullopt;
    RollbackValues values;
    for (std::size_t i = 0; i < settings::kSettingCount; ++i) {
        if (!current->values[i].empty())
            values[i] = settingByte(current->values[i]);
    }
    return values;
}

ApplyOutcome applyProfile(const CProfile& profile, sdk::IQMDevice& device, ApplyLog& log,
                          ApplyPacer& pacer, const ApplyPolicy& policy,
                          const RollbackValues* rollback) {
    ApplyOutcome outcome;
    for (const ApplyStep& step : applySteps()) {
        if (!stepApplies(step, profile.model))
            continue;
        const std::uint8_t value = settingByte(profile.value(step.setting));
        const StepTexts texts{std::string(step.start), std::string(step.success),
                              std::string(step.error),
                              [&step](int attempt) { return retryText(step, attempt); }};
        int attempts = 0;
        const StepEnd end =
            runStep(device, step.setting, value, texts, log, pacer, policy, attempts);
        if (attempts > 0)
            outcome.steps.push_back(
                {step.number, step.setting, value, attempts, end == StepEnd::Acknowledged});
        if (end == StepEnd::Stopped) {
            outcome.result = ApplyOutcome::Result::Stopped;
            return outcome;
        }
        if (end == StepEnd::Failed) {
            outcome.result = ApplyOutcome::Result::StepFailed;
            outcome.failedStep = step.number;
            break;
        }
    }
    if (outcome.failedStep && rollback)
        outcome.restored = rollBack(outcome.steps, *rollback, device, log, pacer, policy);
    return outcome;
}

}  // namespace qm::profiles
