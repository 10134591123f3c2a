#include "common/ipc/device_adaptor.h"

#include <utility>

#include "common/ipc/bus_names.h"
#include "common/ipc/method_export.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;
using sdk::IQMDevice;
using Names = std::vector<std::string>;

}  // namespace

DeviceAdaptor::DeviceAdaptor(sdbus::IConnection& connection, std::string path,
                             std::shared_ptr<sdk::IQMDevice> device, ClientCalls& calls)
    : path_(std::move(path)), device_(std::move(device)) {
    object_ = sdbus::createObject(connection, path_);
    exportMethods(calls);
    object_->finishRegistration();
}

DeviceAdaptor::~DeviceAdaptor() = default;

void DeviceAdaptor::exportMethods(ClientCalls& calls) {
    const auto add = [&](const char* name, Names in, Names out, auto body) {
        detail::exportPooledMethod(*object_, kDeviceInterface, name, std::move(in), std::move(out),
                                   calls, device_, std::move(body));
    };

#define QM_EXPORT_DEVICE_METHOD(Name, ...)                                        \
    add(#Name, Names{QM_IN_NAMES(__VA_ARGS__)}, Names{QM_OUT_NAMES(__VA_ARGS__)}, \
        detail::tableBody<&IQMDevice::Name>());
    QM_DEVICE_METHODS(QM_EXPORT_DEVICE_METHOD)
#undef QM_EXPORT_DEVICE_METHOD
}

}  // namespace qm::ipc
