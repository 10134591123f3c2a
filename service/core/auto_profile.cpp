#include "service/core/auto_profile.h"

#include <filesystem>

#include "common/profiles/profile_applier.h"
#include "common/profiles/profile_file.h"
#include "common/profiles/profile_folder.h"
#include "common/profiles/profile_settings.h"
#include "common/sdk/identifiers.h"
#include "common/settings/models.h"
#include "common/text/text.h"
#include "service/core/qm_device.h"

namespace qm::core {
namespace {

using sdk::leError;
using sdk::leInfo;
using sdk::leWarning;

// Text from a profile file in a log line: control characters can't start lines of their own.
std::string loggable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return out;
}

// The profile file of an identifier in the model's sub-folder: "<Name>_<id>.xml" as saved, or
// any file of that folder whose "ProfileID" is the identifier (an imported or renamed file).
std::optional<profiles::CProfile> findAutomaticProfile(const std::filesystem::path& folder,
                                                       const std::string& product,
                                                       const std::string& id, std::string& error) {
    profiles::CProfile profile;
    if (const auto path = profiles::profileFilePath(folder, product, id);
        path && profiles::loadProfile(*path, profile, error) && text::asciiIEquals(profile.id, id))
        return profile;
    const auto modelFolder = profiles::modelFolder(folder, product);
    if (!modelFolder) {
        error = "no profiles are kept for this model";
        return std::nullopt;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(*modelFolder, ec)) {
        std::string ignored;
        profiles::CProfile candidate;
        if (profiles::hasProfileExtension(entry.path()) &&
            profiles::loadProfile(entry.path(), candidate, ignored) &&
            text::asciiIEquals(candidate.id, id))
            return candidate;
    }
    error = "no profile with this ID in " + modelFolder->string();
    return std::nullopt;
}

}  // namespace

std::optional<int> applyAutomaticProfile(CQMDevice& device, const DeviceEnvironment& environment,
                                         std::stop_token stop) {
    const auto id = device.cachedString(profiles::kAutoProfileValue);
    if (!id || id->empty())
        return std::nullopt;
    CQmLog& log = device.log();
    if (!profiles::isSafeProfileId(*id)) {
        log.Log(leWarning, "AutoProfile - the ID %s can't name a profile", loggable(*id).c_str());
        return sdk::QM_NOTIFY_PROFILE_FAILED;
    }
    const std::string folder = profiles::readProfileFolder(environment.registry);
    std::string error;
    const auto profile = findAutomaticProfile(folder, device.productName(), *id, error);
    if (!profile) {
        log.Log(leWarning, "AutoProfile - profile %s: %s", id->c_str(), loggable(error).c_str());
        return sdk::QM_NOTIFY_PROFILE_FAILED;
    }
    if (settings::modelFromProductName(profile->model) !=
        settings::modelFromProductName(device.productName())) {
        log.Log(leWarning, "AutoProfile - profile %s is for a %s, not for this microphone",
                id->c_str(), loggable(profile->model).c_str());
        return sdk::QM_NOTIFY_PROFILE_FAILED;
    }

    log.Log(leInfo, "AutoProfile - apply profile %s \"%s\"", id->c_str(),
            loggable(profile->name).c_str());
    profiles::ApplyLog steps;
    steps.setListener(
        [&log](profiles::ApplyLog::Change, std::size_t, const profiles::ApplyEntry& entry) {
            if (!entry.inProgress) {
                log.Log(entry.image == profiles::EntryImage::Success ? leInfo : leError,
                        "AutoProfile - %s", entry.text.c_str());
            }
        });
    profiles::ClockPacer pacer(environment.clock, std::move(stop));
    const profiles::ApplyOutcome outcome = profiles::applyProfile(*profile, device, steps, pacer);
    steps.setListener({});
    switch (outcome.result) {
        case profiles::ApplyOutcome::Result::Applied:
            log.Log(leInfo, "AutoProfile - profile %s applied", id->c_str());
            return sdk::QM_NOTIFY_PROFILE_APPLIED;
        case profiles::ApplyOutcome::Result::StepFailed:
            log.Log(leError, "AutoProfile - step %d failed; the steps after it were not made",
                    *outcome.failedStep);
            return sdk::QM_NOTIFY_PROFILE_FAILED;
        case profiles::ApplyOutcome::Result::Stopped:
            break;
    }
    log.Log(leInfo, "AutoProfile - stopped with the microphone");
    return std::nullopt;
}

}  // namespace qm::core
