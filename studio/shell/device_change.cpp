#include "studio/shell/device_change.h"

namespace qm::studio {

ChangeOutcome applyChange(sdk::IQMDevice& device, const DeviceChange& change) {
    ChangeOutcome outcome;
    outcome.call = change(device);
    outcome.status = device.GetLastStatus();
    if (outcome.status != sdk::S_OK) {
        static_cast<void>(device.ResetStatus());
        outcome.statusReset = true;
    }
    return outcome;
}

void postChange(ServiceCalls& calls, std::shared_ptr<sdk::IQMDevice> device,
                const std::string& serial, QObject* receiver, DeviceChange change,
                std::function<void(ChangeOutcome)> done, ResultGuard guard,
                std::string coalesceKey) {
    auto work = [device = std::move(device), change = std::move(change)] {
        return applyChange(*device, change);
    };
    if (!done) {
        done = [](ChangeOutcome) {};
    }
    if (coalesceKey.empty()) {
        calls.post(ServiceCalls::laneOf(serial), receiver, std::move(work), std::move(done),
                   std::move(guard));
    } else {
        calls.postLatest(ServiceCalls::laneOf(serial), std::move(coalesceKey), receiver,
                         std::move(work), std::move(done), std::move(guard));
    }
}

}  // namespace qm::studio
