#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/ipc/bus_address.h"
#include "common/sdk/hresult.h"

namespace qm::ipc {

// A virtual microphone as the simulator reports it.
struct SimulatedMicrophoneState {
    std::string serial;
    std::string model;
    bool plugged = false;
};

// Control of the virtual microphones of a service that runs in simulation mode: plug and unplug
// microphones (their bridge and audio endpoint together) and foreign audio endpoints, and make a
// microphone misbehave.
//
// Faults (SetFault): "fail-writes", "no-reply", "wrong-block", "garbage", "reject-changes" (the
// value is the refusal code, 1 when 0), "unplug-after-writes" apply to the next `count` frames
// (-1: until cleared); "pass-frames" lets the next `count` frames through untouched before those
// faults apply; "slow" delays every answer by `value` milliseconds; "clear" removes all.
class SimulatorControl {
  public:
    virtual ~SimulatorControl() = default;

    // Plugs a new virtual microphone of a known model, or plugs a known serial in again
    // (then the model must match). E_INVALIDARG for an unknown model or a model mismatch.
    virtual sdk::HRESULT Plug(const std::string& model, const std::string& serial) = 0;
    // E_INVALIDARG when no microphone of that serial is plugged.
    virtual sdk::HRESULT Unplug(const std::string& serial) = 0;
    virtual sdk::HRESULT PlugForeign(const std::string& name, std::string& endpointId) = 0;
    virtual sdk::HRESULT UnplugForeign(const std::string& endpointId) = 0;
    virtual sdk::HRESULT SetFault(const std::string& serial, const std::string& fault,
                                  std::int32_t count, std::int32_t value) = 0;
    virtual sdk::HRESULT List(std::vector<SimulatedMicrophoneState>& microphones) = 0;
};

// The simulator of the service on `bus`; null when the bus can't be reached. Calls to a service
// that does not simulate fail with RPC_E_DISCONNECTED (no such object).
std::shared_ptr<SimulatorControl> connectToSimulator(const BusAddress& bus,
                                                     sdk::HRESULT* result = nullptr);

}  // namespace qm::ipc
