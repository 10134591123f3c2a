#include "service/com/service_definition.h"

#include "service/com/service_identity.h"
#include "service/com/string_resources.h"

namespace qm::com {

servicehost::ServiceDefinition serviceDefinition(const std::string& executablePath) {
    servicehost::ServiceDefinition definition;
    definition.name = kServiceName;
    definition.description = std::string(loadString(IDS_SERVICE_DESCRIPTION));
    definition.executable = executablePath;
    definition.arguments = {kServiceParameters};
    definition.busName = kBusName;
    definition.managingGroup = kManagingGroup;
    definition.user = kServiceUser;
    return definition;
}

}  // namespace qm::com
