#pragma once

#include <string>

#include "platform/servicehost/service_definition.h"

namespace qm::com {

// qmMicHost as the service manager knows it: name "qmMicHost", the description of string 102,
// started as "<executable> -Service", running as the user "qmmichost", owning
// "com.quillmere.qmMicHost" on the system bus, managed by the group "quillmere".
servicehost::ServiceDefinition serviceDefinition(const std::string& executablePath);

}  // namespace qm::com
