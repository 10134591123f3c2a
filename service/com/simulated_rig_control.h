#pragma once

#include "common/ipc/simulator_control.h"
#include "sim/virtual_rig.h"

namespace qm::com {

// The simulator's controls over the service's virtual microphones.
class SimulatedRigControl final : public ipc::SimulatorControl {
  public:
    explicit SimulatedRigControl(sim::VirtualRig& rig) : rig_(rig) {}

    sdk::HRESULT Plug(const std::string& model, const std::string& serial) override;
    sdk::HRESULT Unplug(const std::string& serial) override;
    sdk::HRESULT PlugForeign(const std::string& name, std::string& endpointId) override;
    sdk::HRESULT UnplugForeign(const std::string& endpointId) override;
    sdk::HRESULT SetFault(const std::string& serial, const std::string& fault, std::int32_t count,
                          std::int32_t value) override;
    sdk::HRESULT List(std::vector<ipc::SimulatedMicrophoneState>& microphones) override;

  private:
    sim::VirtualRig& rig_;
};

}  // namespace qm::com
