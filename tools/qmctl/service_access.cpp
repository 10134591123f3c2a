#include "tools/qmctl/service_access.h"

#include "common/ipc/client.h"

namespace qm::qmctl {

BusServiceAccess::BusServiceAccess(const std::optional<ipc::BusAddress>& bus,
                                   std::optional<std::chrono::milliseconds> callTimeout)
    : bus_(ipc::BusAddress::resolve(bus)), callTimeout_(callTimeout) {}

std::shared_ptr<sdk::IQuillmereSDK> BusServiceAccess::connect(sdk::HRESULT& result) {
    ipc::ClientOptions options;
    options.bus = bus_;
    if (callTimeout_)
        options.callTimeout = *callTimeout_;
    return ipc::connectToService(options, &result);
}

std::shared_ptr<ipc::SimulatorControl> BusServiceAccess::connectSimulator(sdk::HRESULT& result) {
    return ipc::connectToSimulator(bus_, &result);
}

std::string BusServiceAccess::busDescription() const {
    return bus_.describe();
}

}  // namespace qm::qmctl
