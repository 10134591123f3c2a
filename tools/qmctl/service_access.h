#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "common/ipc/bus_address.h"
#include "common/ipc/simulator_control.h"
#include "common/sdk/interfaces.h"

// How the commands reach the service: its device manager and, when it simulates, its
// simulator. Tests give the commands fakes instead of the bus.
namespace qm::qmctl {

class ServiceAccess {
  public:
    virtual ~ServiceAccess() = default;

    // The device manager; null with the reason in `result` when it can't be reached.
    virtual std::shared_ptr<sdk::IQuillmereSDK> connect(sdk::HRESULT& result) = 0;
    // The simulator; null with the reason in `result` when the bus can't be reached (a service
    // that does not simulate shows only when the first call fails).
    virtual std::shared_ptr<ipc::SimulatorControl> connectSimulator(sdk::HRESULT& result) = 0;
    // The bus, for messages: "system", "session" or the address.
    virtual std::string busDescription() const = 0;
};

// The service on a D-Bus bus.
class BusServiceAccess final : public ServiceAccess {
  public:
    // `bus`: nothing means QM_DBUS_ADDRESS, else the system bus. `callTimeout`: nothing keeps
    // the client's default.
    BusServiceAccess(const std::optional<ipc::BusAddress>& bus,
                     std::optional<std::chrono::milliseconds> callTimeout);

    std::shared_ptr<sdk::IQuillmereSDK> connect(sdk::HRESULT& result) override;
    std::shared_ptr<ipc::SimulatorControl> connectSimulator(sdk::HRESULT& result) override;
    std::string busDescription() const override;

  private:
    const ipc::BusAddress bus_;
    const std::optional<std::chrono::milliseconds> callTimeout_;
};

}  // namespace qm::qmctl
