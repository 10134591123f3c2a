#pragma once

#include <memory>
#include <string>

namespace qm::core {

class CQMDevice;

// One request to the device thread: start, stop or create the device of a bridge.
struct QM_DEVICE {
    std::string name;  // product name of the bridge
    std::string SN;    // serial number
    int index = -1;    // bridge index
    bool active = false;
    bool inactive = false;
    std::shared_ptr<CQMDevice> device;  // the existing device object, null for a new one
};

}  // namespace qm::core
