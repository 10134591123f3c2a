#pragma once

#include <optional>

#include "common/ipc/bus_address.h"
#include "studio/shell/service_connector.h"

namespace qm::studio {

// Reaches the service over D-Bus: the bus given on the command line, else QM_DBUS_ADDRESS, else
// the system bus. A service that isn't there gives nothing at once, so the studio starts with an
// empty list.
class DbusServiceConnector final : public ServiceConnector {
  public:
    explicit DbusServiceConnector(std::optional<ipc::BusAddress> bus) : bus_(std::move(bus)) {}

    std::shared_ptr<sdk::IQuillmereSDK> connect() override;
    // Follows the owner of the service's bus name.
    std::unique_ptr<ServiceWatch> watch(PresenceHandler changed) override;

  private:
    std::optional<ipc::BusAddress> bus_;
};

}  // namespace qm::studio
