#pragma once

#include <optional>
#include <stop_token>

#include "service/core/device_environment.h"

namespace qm::core {

class CQMDevice;

// The automatic profile of a microphone: the profile whose identifier its cache key holds in
// "AutoProfile", applied each time the microphone has been started and read, with the steps,
// pauses and retries a client's apply has. Every step's outcome goes to the microphone's log.
//
// Returns the notification state to announce (QM_NOTIFY_PROFILE_APPLIED, or
// QM_NOTIFY_PROFILE_FAILED when a step failed or the profile can't be found or read); nothing
// when the microphone has no automatic profile or the run was stopped.
std::optional<int> applyAutomaticProfile(CQMDevice& device, const DeviceEnvironment& environment,
                                         std::stop_token stop);

}  // namespace qm::core
