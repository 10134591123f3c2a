#pragma once

#include <string>
#include <vector>

namespace qm::servicehost {

// What the service manager needs to know to run a service.
struct ServiceDefinition {
    std::string name;                    // the service, and its unit "<name>.service"
    std::string description;             // shown by the service manager
    std::string executable;              // absolute path of the program
    std::vector<std::string> arguments;  // given to the program when the manager starts it
    std::string busName;                 // the name the service owns on the system bus
    std::string managingGroup;           // the group that may call the service and use devices
    std::string user;                    // the system user the service runs as
};

}  // namespace qm::servicehost
