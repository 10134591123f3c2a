#include "tools/qmctl/setting_change.h"

#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/result_text.h"

namespace qm::qmctl {

using settings::Setting;

ChangeOutcome changeLikeThePanels(sdk::IQMDevice& device, Setting setting, std::uint8_t value) {
    ChangeOutcome outcome;
    outcome.call = sdk::settingCallFor(setting, value);
    outcome.changeResult = sdk::sendSettingChange(device, setting, value);
    // The panels go on whatever the change call returned; a call that never reached the
    // service (gone, no answer, object gone) makes the follow-up calls pointless.
    if (isTransportFailure(outcome.changeResult))
        return outcome;
    outcome.lastStatus = device.GetLastStatus();
    if (*outcome.lastStatus != sdk::S_OK && !isTransportFailure(*outcome.lastStatus))
        outcome.resetResult = device.ResetStatus();
    return outcome;
}

int exitCodeOf(const ChangeOutcome& outcome) {
    if (sdk::FAILED(outcome.changeResult))
        return exitCodeForFailure(outcome.changeResult);
    if (outcome.acknowledged())
        return kExitOk;
    if (outcome.lastStatus && isTransportFailure(*outcome.lastStatus))
        return exitCodeForFailure(*outcome.lastStatus);
    return kExitChangeRefused;
}

}  // namespace qm::qmctl
