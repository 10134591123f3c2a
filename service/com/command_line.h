#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/com/runtime_options.h"
#include "service/com/switch_table.h"

// qmMicHost's command line: splitting it into arguments and working out, without doing any of
// it, what the process is asked to do.
//
// Switches begin with '-' or '/' and are looked up in the switch table (switch_table.h). Long
// options set up the running server and are not switches of the table: "--bus <value>",
// "--simulate <list>", "--record <file>" and "--replay <file>" (or "--bus=<value>" and so on;
// see runtime_options.h for the values). They are recognised before the table is consulted,
// change neither the last action code nor the silent flag, and count against the 16 arguments
// like any other. So does "--sound <server>", which gives the virtual microphones of
// "--simulate" their sound. Any other argument beginning with "--" reaches the table and, not
// being in it, is a bad switch.
namespace qm::com {

inline constexpr std::size_t kMaxArguments = 16;

// Splits a command line into at most 16 arguments, the first being the program path. Characters
// of code 0x20 or below separate arguments. An argument that begins with '"' runs to the next '"'
// (the quotes are not part of it, the character after the closing quote starts the search for
// the next argument); any other runs to the next character of code 0x20 or below. Whatever comes
// after the sixteenth argument is ignored.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The command line that splits back into `arguments` (as long as there are at most 16): one
// space between arguments; an argument that is empty or holds a character of code 0x20 or below
// is put in double quotes. An argument holding a double quote can't be carried faithfully (the
// split knows no escapes); switches and option values never hold one.
std::string joinCommandLine(const std::vector<std::string>& arguments);

struct CommandStep {
    enum class Kind { Install, Uninstall, Usage };

    Kind kind = Kind::Usage;
    bool silent = false;  // the silent flag when the step is reached
    std::string error;    // Usage after a bad long option: the line shown before the usage text
};

struct CommandLinePlan {
    // In command-line order; a Usage step ends the process with E_INVALIDARG and is always last.
    std::vector<CommandStep> steps;
    // The action code of the last switch of the table; nothing when there was none.
    std::optional<SwitchAction> lastAction;
    // The silent flag after the last argument.
    bool silent = false;
    std::optional<BusChoice> bus;
    std::optional<std::vector<SimulatedMicrophone>> simulate;
    std::optional<std::string> sound;
    std::optional<std::string> record;
    std::optional<std::string> replay;

    bool endsWithUsage() const {
        return !steps.empty() && steps.back().kind == CommandStep::Kind::Usage;
    }
};

// Returns non-zero to accept a switch the table doesn't know (action code 5).
using CustomSwitchParser = std::function<int(std::string_view name)>;

// Works through the arguments after the first, in order:
// - one that begins with neither '-' nor '/' gives Usage;
// - "--bus", "--simulate", "--sound", "--record" and "--replay" take their value (a bad or
//   missing value gives Usage with an error line; so does giving the same option twice, or more
//   than one of --simulate, --record and --replay);
// - "Silent" (any case) sets the silent flag;
// - any other switch takes its table action, or 5 if the custom parser accepts it, else 6;
//   2 adds Install, 3 adds Uninstall, 4 and 6 add Usage.
// Nothing after a Usage step is looked at.
CommandLinePlan planCommandLine(const std::vector<std::string>& arguments,
                                const CustomSwitchParser& parseCustomSwitch);

}  // namespace qm::com
