#include "service/com/string_resources.h"

namespace qm::com {

std::string_view loadString(unsigned id) {
    switch (id) {
        case IDS_USAGE:
            // Ends in the two characters "%0", shown as they stand.
            return "Usage: qmMicHost [-install | -uninstall] [/silent]\n"
                   "-install   - Registers service\n"
                   "-uninstall - Unregisters service\n"
                   "/silent    - Silent; supress message boxes%0";
        case IDS_SERVICE_DESCRIPTION:
            return "QUILLMERE\u00AE microphone manager";
        case IDS_SERVICE_NAME:
            return "qmMicHost";
        default:
            return {};
    }
}

}  // namespace qm::com
