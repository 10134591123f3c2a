#include "studio/shell/dbus_service_connector.h"

#include "common/ipc/client.h"

namespace qm::studio {

std::shared_ptr<sdk::IQuillmereSDK> DbusServiceConnector::connect() {
    ipc::ClientOptions options;
    options.bus = bus_;
    return ipc::connectToService(options);
}

}  // namespace qm::studio
