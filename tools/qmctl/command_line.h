#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ipc/bus_address.h"
#include "common/settings/device_settings.h"

// The command line of qmctl: which command to run, with which arguments and options.
//
// Options may stand anywhere on the line, as "--name value" or "--name=value"; "--" ends the
// options (later words are arguments even when they begin with '-'). Global options: --bus,
// --json, --timeout, --help (also -h). Command options: rename's --friendly-name and
// --description, sim fault's --count and --value; the profile commands' --folder, profile
// save's --description, profile rename's --name and --description, profile apply's --rollback
// and profile auto's --off.
//
// Everything that can be checked without the service is checked here: argument counts, the
// setting name and value of `set`, the model of `sim plug`, the fault of `sim fault`, numbers.
namespace qm::qmctl {

enum class Command {
    Help,
    List,
    Show,
    Set,
    Reset,
    Rename,
    Remove,
    RemoveInactive,
    LogFolder,
    Watch,
    SimPlug,
    SimUnplug,
    SimPlugForeign,
    SimUnplugForeign,
    SimFault,
    SimList,
    ProfileList,
    ProfileShow,
    ProfileSave,
    ProfileApply,
    ProfileRename,
    ProfileRemove,
    ProfileExport,
    ProfileImport,
    ProfileAuto,
};

// Every command, in the order the overview lists them.
const std::vector<Command>& allCommands();
// "list", "remove-inactive", "sim plug", "profile apply", ...
std::string_view commandName(Command command);

struct Invocation {
    Command command = Command::Help;

    // Global options. No bus: QM_DBUS_ADDRESS, else the system bus.
    std::optional<ipc::BusAddress> bus;
    bool json = false;
    std::optional<std::chrono::milliseconds> timeout;

    // help: what to explain: a command's name ("list", "sim plug") or a group ("sim",
    // "profile") for all its commands; nothing for the overview.
    std::optional<std::string> helpTopic;

    // Words after the command, as given (set: serial, name, value; sim fault: serial, fault).
    std::vector<std::string> arguments;

    // set: the setting (never the read-only ALC_VOLUME) and its value.
    settings::Setting setting = settings::Setting::LPF;
    std::uint8_t value = 0;

    // rename: what to change (at least one of them). description: also profile save's and
    // profile rename's.
    std::optional<std::string> friendlyName;
    std::optional<std::string> description;

    // The profile commands: the profile folder to use instead of the machine-wide one, profile
    // rename's new name, profile apply's rollback, profile auto's --off.
    std::optional<std::string> profileFolder;
    std::optional<std::string> profileName;
    bool rollback = false;
    bool off = false;

    // sim fault: frames affected (-1: until cleared) and the fault's value.
    std::int32_t faultCount = 1;
    std::int32_t faultValue = 0;
};

struct ParseResult {
    std::optional<Invocation> invocation;
    // When there is no invocation: what is wrong, as a line for the user, and the help topic it
    // concerns (for a pointer to that help; empty: the overview).
    std::string error;
    std::string errorTopic;
};

ParseResult parseCommandLine(const std::vector<std::string>& args);

// A setting value: decimal (0..255) or hexadecimal with 0x (0x00..0xff), nothing else.
std::optional<std::uint8_t> parseSettingValue(std::string_view text);

// The fault names the simulator knows.
const std::vector<std::string_view>& simulatorFaultNames();

}  // namespace qm::qmctl
