#include "studio/shell/dbus_service_connector.h"

#include "common/ipc/client.h"
#include "common/ipc/service_name_watch.h"

namespace qm::studio {
namespace {

class BusNameWatch final : public ServiceWatch {
  public:
    explicit BusNameWatch(std::unique_ptr<ipc::ServiceNameWatch> watch)
        : watch_(std::move(watch)) {}

  private:
    std::unique_ptr<ipc::ServiceNameWatch> watch_;
};

}  // namespace

std::shared_ptr<sdk::IQuillmereSDK> DbusServiceConnector::connect() {
    ipc::ClientOptions options;
    options.bus = bus_;
    return ipc::connectToService(options);
}

std::unique_ptr<ServiceWatch> DbusServiceConnector::watch(PresenceHandler changed) {
    ipc::ClientOptions options;
    options.bus = bus_;
    auto watch = ipc::watchServiceName(options, std::move(changed));
    if (watch == nullptr) {
        return nullptr;
    }
    return std::make_unique<BusNameWatch>(std::move(watch));
}

}  // namespace qm::studio
