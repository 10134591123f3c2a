#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "common/sdk/interfaces.h"
#include "studio/shell/service_calls.h"

namespace qm::studio {

// One setting change and the microphone's answer to it.
struct ChangeOutcome {
    sdk::HRESULT call = sdk::E_FAIL;    // the change call's own result (not examined by the panels)
    sdk::HRESULT status = sdk::E_FAIL;  // GetLastStatus after it: 0 when the microphone took it
    bool statusReset = false;           // ResetStatus was called because status wasn't 0
};

// A change call on a microphone, e.g. [v](sdk::IQMDevice& d) { return d.Set_LPF(v); }.
using DeviceChange = std::function<sdk::HRESULT(sdk::IQMDevice&)>;

// Makes a change as every panel and the profile apply make one: the change call, then
// GetLastStatus, then ResetStatus when that is not 0. Calls the service: on a worker only.
ChangeOutcome applyChange(sdk::IQMDevice& device, const DeviceChange& change);

// Posts a change to the microphone's lane (ServiceCalls::laneOf(serial)), so that it follows
// every call posted for that microphone before it; `done` gets the outcome on the GUI thread
// while `receiver` exists and `guard` holds (usually DeviceSelection::guard()). With a
// `coalesceKey` (say, the slider's id), a change of that key still waiting at the end of the
// lane is replaced by this one: a dragged slider sends its newest position, not every one.
void postChange(ServiceCalls& calls, std::shared_ptr<sdk::IQMDevice> device,
                const std::string& serial, QObject* receiver, DeviceChange change,
                std::function<void(ChangeOutcome)> done, ResultGuard guard = {},
                std::string coalesceKey = {});

}  // namespace qm::studio
