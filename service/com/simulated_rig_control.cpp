#include "service/com/simulated_rig_control.h"

#include <algorithm>

#include "common/settings/models.h"
#include "common/text/text.h"

namespace qm::com {

using sdk::E_INVALIDARG;
using sdk::S_FALSE;
using sdk::S_OK;

sdk::HRESULT SimulatedRigControl::Plug(const std::string& model, const std::string& serial) {
    const settings::Model known = settings::modelFromProductName(model);
    if (known == settings::Model::Unknown || serial.empty())
        return E_INVALIDARG;
    if (auto existing = rig_.microphone(serial)) {
        if (existing->model() != known)
            return E_INVALIDARG;
        if (rig_.bus().find(serial))
            return S_FALSE;  // already plugged in
    }
    rig_.plug(std::string(settings::productName(known)), serial);
    return S_OK;
}

sdk::HRESULT SimulatedRigControl::Unplug(const std::string& serial) {
    return rig_.unplug(serial) ? S_OK : E_INVALIDARG;
}

sdk::HRESULT SimulatedRigControl::PlugForeign(const std::string& name, std::string& endpointId) {
    if (name.empty())
        return E_INVALIDARG;
    endpointId = rig_.plugForeignEndpoint(name);
    return S_OK;
}

sdk::HRESULT SimulatedRigControl::UnplugForeign(const std::string& endpointId) {
    rig_.unplugForeignEndpoint(endpointId);
    return S_OK;
}

sdk::HRESULT SimulatedRigControl::SetFault(const std::string& serial, const std::string& fault,
                                           std::int32_t count, std::int32_t value) {
    auto mic = rig_.microphone(serial);
    if (!mic)
        return E_INVALIDARG;
    sim::FaultPlan plan = mic->faults();
    const std::string name = text::asciiLowerCopy(fault);
    if (name == "clear") {
        plan = {};
    } else if (name == "fail-writes") {
        plan.failWrites = count;
    } else if (name == "no-reply") {
        plan.noReply = count;
    } else if (name == "wrong-block") {
        plan.wrongBlock = count;
    } else if (name == "garbage") {
        plan.garbage = count;
    } else if (name == "reject-changes") {
        plan.rejectChanges = count;
        plan.rejectCode = static_cast<std::uint8_t>(value == 0 ? 1 : value);
    } else if (name == "unplug-after-writes") {
        plan.unplugAfterWrites = count;
    } else if (name == "pass-frames") {
        if (count < 0)
            return E_INVALIDARG;
        plan.passFrames = count;
    } else if (name == "slow") {
        if (value < 0)
            return E_INVALIDARG;
        plan.replyDelay = std::chrono::milliseconds(value);
    } else {
        return E_INVALIDARG;
    }
    mic->setFaults(plan);
    return S_OK;
}

sdk::HRESULT SimulatedRigControl::List(std::vector<ipc::SimulatedMicrophoneState>& microphones) {
    microphones.clear();
    for (const auto& mic : rig_.microphones()) {
        const auto& id = mic->identity();
        microphones.push_back({id.serial, id.product, rig_.bus().find(id.serial) != nullptr});
    }
    return S_OK;
}

}  // namespace qm::com
