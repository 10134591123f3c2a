#include "service/com/switch_table.h"

#include "common/text/text.h"

namespace qm::com {
namespace {

struct SwitchEntry {
    std::string_view name;
    SwitchAction action;
};

constexpr SwitchEntry kSwitches[] = {
    {"Service", SwitchAction::Service},
    {"Runapp", SwitchAction::Runapp},
    {"Install", SwitchAction::Install},
    {"RegServer", SwitchAction::Install},
    {"Uninstall", SwitchAction::Uninstall},
    {"Remove", SwitchAction::Uninstall},
    {"UnregServer", SwitchAction::Uninstall},
    {"Help", SwitchAction::Help},
    {"?", SwitchAction::Help},
    {"H", SwitchAction::Help},
};

}  // namespace

std::optional<SwitchAction> lookupSwitch(std::string_view name) {
    for (const SwitchEntry& entry : kSwitches) {
        if (text::asciiIEquals(name, entry.name)) {
            return entry.action;
        }
    }
    return std::nullopt;
}

}  // namespace qm::com
