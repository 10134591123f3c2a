#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/sdk/interfaces.h"
#include "common/settings/device_settings.h"

// One setting change, made the way the studio's panels make it: the one change call of the
// setting, then GetLastStatus for the microphone's acknowledgement, then ResetStatus when that
// is not 0.
namespace qm::qmctl {

// The IQMDevice call that changes a setting: its name and arguments.
struct ChangeCall {
    std::string_view operation;  // "Set_EQ_GAIN", "SetVolume", ...
    std::optional<int> band;     // the band argument of Set_EQ_GAIN and Set_EQ_BAND_MODE
    std::uint8_t value = 0;

    // "Set_EQ_GAIN(3, 200)", "Set_LPF(5)".
    std::string text() const;
};

// The call for `setting`; `setting` must not be the read-only ALC_VOLUME.
ChangeCall changeCallFor(settings::Setting setting, std::uint8_t value);

// Makes the change call for `setting` on `device` and returns its result. ALC_VOLUME, which
// nothing changes, gives E_INVALIDARG without a call.
sdk::HRESULT sendChange(sdk::IQMDevice& device, settings::Setting setting, std::uint8_t value);

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
