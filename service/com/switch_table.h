#pragma once

#include <optional>
#include <string_view>

// The switches of qmMicHost's command line and the action each one asks for.
namespace qm::com {

// Action codes, in the order of their numbers.
enum class SwitchAction : int {
    Service = 0,    // run as the service when registered as one
    Runapp = 1,     // run as an ordinary process
    Install = 2,    // install, then exit with the result
    Uninstall = 3,  // uninstall, then exit with the result
    Help = 4,       // show the usage and exit with E_INVALIDARG
    Custom = 5,     // a switch the module accepted through ParseCustomSwitch
    Invalid = 6,    // anything else: usage and E_INVALIDARG
};

// The switch "Silent", which sets the silent flag and is no action of its own.
inline constexpr std::string_view kSilentSwitch = "Silent";

// The action of a switch (without its leading '-' or '/'), compared with the table without
// regard to ASCII case; the first match wins. Nothing for a switch that isn't in the table.
//   Service 0, Runapp 1, Install 2, RegServer 2, Uninstall 3, Remove 3, UnregServer 3,
//   Help 4, ? 4, H 4
std::optional<SwitchAction> lookupSwitch(std::string_view name);

}  // namespace qm::com
