#pragma once

#include <memory>

#include "platform/hiduart/hid_transport.h"

namespace qm::hiduart {

// The HID transport of the machine, on hidapi over the kernel's hidraw devices.
std::shared_ptr<HidTransport> createHidapiTransport();

}  // namespace qm::hiduart
