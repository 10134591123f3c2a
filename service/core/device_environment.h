#pragma once

#include "common/runtime/clock.h"
#include "platform/endpoints/endpoint_system.h"
#include "platform/hiduart/hid_uart_api.h"
#include "platform/registry/store.h"
#include "service/log/log_storage.h"

namespace qm::core {

// The platform a device object and the device manager work on. Every member outlives them.
struct DeviceEnvironment {
    registry::Store& registry;
    hiduart::HidUartApi& bridges;
    endpoints::EndpointSystem& endpoints;
    Clock& clock;
    LogStorage& logStorage;
};

}  // namespace qm::core
