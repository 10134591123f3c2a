#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/sdk/interfaces.h"
#include "common/sdk/setting_calls.h"
#include "common/settings/device_settings.h"

// One setting change, made the way the studio's panels make it: the one change call of the
// setting, then GetLastStatus for the microphone's acknowledgement, then ResetStatus when that
// is not 0.
namespace qm::qmctl {

// The call of a change, as the reports show it.
using ChangeCall = sdk::SettingCall;

struct ChangeOutcome {
    ChangeCall call;
    sdk::HRESULT changeResult = sdk::S_OK;
    // GetLastStatus; not asked when the change call got no answer from the service.
    std::optional<sdk::HRESULT> lastStatus;
    // ResetStatus; made only when GetLastStatus did not return 0.
    std::optional<sdk::HRESULT> resetResult;

    bool acknowledged() const { return lastStatus == sdk::S_OK; }
    bool succeeded() const { return sdk::SUCCEEDED(changeResult) && acknowledged(); }
};

ChangeOutcome changeLikeThePanels(sdk::IQMDevice& device, settings::Setting setting,
                                  std::uint8_t value);

// 0 for a change made and acknowledged; the failed call's code when the change call failed;
// kExitChangeRefused when only the acknowledgement is missing.
int exitCodeOf(const ChangeOutcome& outcome);

}  // namespace qm::qmctl
