#pragma once

#include <memory>

#include "common/ipc/simulator_control.h"

namespace sdbus {
class IConnection;
class IObject;
}  // namespace sdbus

namespace qm::ipc {

// Exports a SimulatorControl at kSimulatorPath on `connection` for as long as it exists.
class SimulatorAdaptor {
  public:
    SimulatorAdaptor(sdbus::IConnection& connection, std::shared_ptr<SimulatorControl> control);
    ~SimulatorAdaptor();
    SimulatorAdaptor(const SimulatorAdaptor&) = delete;
    SimulatorAdaptor& operator=(const SimulatorAdaptor&) = delete;

  private:
    std::shared_ptr<SimulatorControl> control_;
    std::unique_ptr<sdbus::IObject> object_;
};

}  // namespace qm::ipc
