#include "tools/qmctl/command_line.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "common/settings/models.h"
#include "common/settings/setting_table.h"
#include "common/text/text.h"

namespace qm::qmctl {
namespace {

struct CommandEntry {
    Command command;
    std::string_view name;
    std::size_t minArguments;
    std::size_t maxArguments;
    bool json;                              // takes --json
    std::vector<std::string_view> options;  // its own options
};

const std::vector<CommandEntry>& commandEntries() {
    static const std::vector<CommandEntry> entries = {
        {Command::Help, "help", 0, 2, false, {}},
        {Command::List, "list", 0, 0, true, {}},
        {Command::Show, "show", 1, 1, true, {}},
        {Command::Set, "set", 3, 3, true, {}},
        {Command::Reset, "reset", 1, 1, false, {}},
        {Command::Rename, "rename", 1, 1, false, {"friendly-name", "description"}},
        {Command::Remove, "remove", 1, 1, false, {}},
        {Command::RemoveInactive, "remove-inactive", 0, 0, false, {}},
        {Command::LogFolder, "log-folder", 0, 1, true, {}},
        {Command::Watch, "watch", 0, 0, true, {}},
        {Command::SimPlug, "sim plug", 2, 2, false, {}},
        {Command::SimUnplug, "sim unplug", 1, 1, false, {}},
        {Command::SimPlugForeign, "sim plug-foreign", 1, 1, true, {}},
        {Command::SimUnplugForeign, "sim unplug-foreign", 1, 1, false, {}},
        {Command::SimFault, "sim fault", 2, 2, false, {"count", "value"}},
        {Command::SimList, "sim list", 0, 0, true, {}},
        {Command::ProfileList, "profile list", 0, 1, true, {"folder"}},
        {Command::ProfileShow, "profile show", 1, 1, true, {"folder"}},
        {Command::ProfileSave, "profile save", 2, 2, true, {"description", "folder"}},
        {Command::ProfileApply, "profile apply", 2, 2, true, {"rollback", "folder"}},
        {Command::ProfileRename, "profile rename", 1, 1, false, {"name", "description", "folder"}},
        {Command::ProfileRemove, "profile remove", 1, 1, false, {"folder"}},
        {Command::ProfileExport, "profile export", 2, 2, false, {"folder"}},
        {Command::ProfileImport, "profile import", 1, 1, true, {"folder"}},
        {Command::ProfileAuto, "profile auto", 1, 2, true, {"off"}},
    };
    return entries;
}

const CommandEntry& entryOf(Command command) {
    for (const CommandEntry& entry : commandEntries()) {
        if (entry.command == command)
            return entry;
    }
    return commandEntries().front();
}

std::optional<Command> commandByName(std::string_view name) {
    for (const CommandEntry& entry : commandEntries()) {
        if (entry.name == name)
            return entry.command;
    }
    return std::nullopt;
}

// Options and whether they take a value.
const std::map<std::string, bool, std::less<>>& knownOptions() {
    static const std::map<std::string, bool, std::less<>> options = {
        {"bus", true},    {"json", false},         {"timeout", true},     {"help", false},
        {"count", true},  {"friendly-name", true}, {"description", true}, {"value", true},
        {"folder", true}, {"name", true},          {"rollback", false},   {"off", false},
    };
    return options;
}

bool isGlobalOption(std::string_view name) {
    return name == "bus" || name == "json" || name == "timeout" || name == "help";
}

struct SplitLine {
    std::vector<std::string> words;
    std::map<std::string, std::string, std::less<>> options;  // flags map to ""
    std::string error;
};

SplitLine splitLine(const std::vector<std::string>& args) {
    SplitLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            line.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h") {
            line.options["help"] = "";
            continue;
        }
        if (!arg.starts_with("--")) {
            line.error = "unknown option \"" + arg + "\"";
            return line;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto known = knownOptions().find(name);
        if (known == knownOptions().end()) {
            line.error = "unknown option \"--" + name + "\"";
            return line;
        }
        if (!known->second) {
            if (value) {
                line.error = "--" + name + " takes no value";
                return line;
            }
            line.options[name] = "";
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                line.error = "--" + name + " needs a value";
                return line;
            }
            value = args[++i];
        }
        line.options[name] = *value;
    }
    return line;
}

bool isCommandGroup(std::string_view word) {
    return word == "sim" || word == "profile";
}

// "plug, unplug, ... or list": the subcommands of a group.
std::string subcommandList(const std::string& group) {
    std::vector<std::string_view> names;
    for (const CommandEntry& entry : commandEntries()) {
        if (entry.name.starts_with(group + " "))
            names.push_back(entry.name.substr(group.size() + 1));
    }
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += i + 1 == names.size() ? " or " : ", ";
        out += names[i];
    }
    return out;
}

// The command named by the first words; `used` says how many words it took.
std::optional<Command> resolveCommand(const std::vector<std::string>& words, std::size_t& used,
                                      std::string& error) {
    used = 0;
    if (words.empty())
        return std::nullopt;
    const std::string& word = words[0];
    if (isCommandGroup(word)) {
        if (words.size() < 2) {
            error = word + " needs a subcommand: " + subcommandList(word);
            return std::nullopt;
        }
        const auto command = commandByName(word + " " + words[1]);
        if (!command) {
            error = "unknown " + word + " subcommand \"" + words[1] + "\"";
            return std::nullopt;
        }
        used = 2;
        return command;
    }
    const auto command = commandByName(word);
    if (!command || word.find(' ') != std::string::npos) {
        error = "unknown command \"" + word + "\"";
        return std::nullopt;
    }
    used = 1;
    return command;
}

std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::string settingNameList() {
    std::string names;
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (info.changedBy.empty())
            continue;
        if (!names.empty())
            names += ", ";
        names += info.registryName;
    }
    return names;
}

std::string productNameList() {
    std::string names;
    for (std::string_view name : settings::kProductNames) {
        if (!names.empty())
            names += ", ";
        names += '"';
        names += name;
        names += '"';
    }
    return names;
}

std::optional<std::string> optionValue(
    const std::map<std::string, std::string, std::less<>>& options, std::string_view name) {
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

// Checks and takes the arguments of set, rename, sim plug, sim fault and the profile commands.
std::string takeCommandArguments(Invocation& invocation,
                                 const std::map<std::string, std::string, std::less<>>& options) {
    const std::vector<std::string>& args = invocation.arguments;
    switch (invocation.command) {
        case Command::Set: {
            const auto setting = settings::settingByRegistryName(args[1]);
            if (!setting)
                return "unknown setting \"" + args[1] +
                       "\"; the settings are: " + settingNameList();
            if (settings::settingInfo(*setting).changedBy.empty())
                return std::string(settings::settingInfo(*setting).registryName) +
                       " is read only: it is the level the ALC has reached, not a setting";
            const auto value = parseSettingValue(args[2]);
            if (!value)
                return "value \"" + args[2] +
                       "\" is not a number from 0 to 255 (decimal, or hexadecimal with 0x)";
            invocation.setting = *setting;
            invocation.value = *value;
            return {};
        }
        case Command::Rename: {
            if (const auto it = options.find("friendly-name"); it != options.end())
                invocation.friendlyName = it->second;
            if (const auto it = options.find("description"); it != options.end())
                invocation.description = it->second;
            if (!invocation.friendlyName && !invocation.description)
                return "rename needs --friendly-name TEXT or --description TEXT (or both)";
            return {};
        }
        case Command::SimPlug:
            if (settings::modelFromProductName(args[0]) == settings::Model::Unknown)
                return "unknown model \"" + args[0] + "\"; the models are " + productNameList();
            return {};
        case Command::SimFault: {
            const auto& faults = simulatorFaultNames();
            const std::string fault = text::asciiLowerCopy(args[1]);
            if (std::find(faults.begin(), faults.end(), fault) == faults.end()) {
                std::string names;
                for (std::string_view name : faults)
                    names += (names.empty() ? "" : ", ") + std::string(name);
                return "unknown fault \"" + args[1] + "\"; the faults are: " + names;
            }
            invocation.arguments[1] = fault;
            if (const auto it = options.find("count"); it != options.end()) {
                const auto count = parseInteger(it->second, -1, INT32_MAX);
                if (!count)
                    return "--count \"" + it->second + "\" is not -1 or a number of frames";
                invocation.faultCount = static_cast<std::int32_t>(*count);
            }
            if (fault == "pass-frames" && invocation.faultCount < 0)
                return "--count of pass-frames is a number of frames, 0 or more";
            if (const auto it = options.find("value"); it != options.end()) {
                const std::int64_t low = fault == "slow" ? 0 : INT32_MIN;
                const auto value = parseInteger(it->second, low, INT32_MAX);
                if (!value)
                    return "--value \"" + it->second + "\" is not a valid number for " + fault;
                invocation.faultValue = static_cast<std::int32_t>(*value);
            }
            return {};
        }
        case Command::ProfileSave:
            if (args[1].empty())
                return "the profile's NAME must not be empty";
            invocation.description = optionValue(options, "description");
            return {};
        case Command::ProfileRename:
            invocation.profileName = optionValue(options, "name");
            invocation.description = optionValue(options, "description");
            if (!invocation.profileName && !invocation.description)
                return "profile rename needs --name TEXT or --description TEXT (or both)";
            if (invocation.profileName && invocation.profileName->empty())
                return "--name must not be empty";
            return {};
        case Command::ProfileApply:
            invocation.rollback = options.contains("rollback");
            return {};
        case Command::ProfileAuto:
            invocation.off = options.contains("off");
            if (invocation.off && args.size() != 1)
                return "profile auto takes either a profile ID or --off";
            return {};
        default:
            return {};
    }
}

std::string usageCountError(const CommandEntry& entry, std::size_t given) {
    std::string expected;
    if (entry.minArguments == entry.maxArguments) {
        expected = entry.minArguments == 0   ? "no arguments"
                   : entry.minArguments == 1 ? "1 argument"
                                             : std::to_string(entry.minArguments) + " arguments";
    } else {
        expected = std::to_string(entry.minArguments) + " to " +
                   std::to_string(entry.maxArguments) + " arguments";
    }
    return std::string(entry.name) + " takes " + expected + ", " + std::to_string(given) + " given";
}

}  // namespace

const std::vector<Command>& allCommands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (const CommandEntry& entry : commandEntries())
            all.push_back(entry.command);
        return all;
    }();
    return commands;
}

std::string_view commandName(Command command) {
    return entryOf(command).name;
}

const std::vector<std::string_view>& simulatorFaultNames() {
    static const std::vector<std::string_view> names = {
        "fail-writes",         "no-reply", "wrong-block", "garbage",    "reject-changes",
        "unplug-after-writes", "slow",     "clear",       "pass-frames"};
    return names;
}

std::optional<std::uint8_t> parseSettingValue(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty())
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 255)
            return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

ParseResult parseCommandLine(const std::vector<std::string>& args) {
    ParseResult result;
    SplitLine line = splitLine(args);
    if (!line.error.empty()) {
        result.error = line.error;
        return result;
    }

    Invocation invocation;
    std::size_t used = 0;
    std::string error;
    const auto command = resolveCommand(line.words, used, error);
    const bool wantsHelp = line.options.contains("help");
    if (!command) {
        const bool group = !line.words.empty() && isCommandGroup(line.words[0]);
        if (!error.empty() && !(wantsHelp && line.words.size() == 1 && group)) {
            result.error = error;
            if (group)
                result.errorTopic = line.words[0];
            return result;
        }
        // No command: the overview with --help, "sim --help": the sim commands; else an error.
        if (!wantsHelp) {
            result.error = "no command given";
            return result;
        }
        invocation.command = Command::Help;
        if (!line.words.empty())
            invocation.helpTopic = line.words[0];
        result.invocation = invocation;
        return result;
    }
    if (wantsHelp && *command != Command::Help) {
        invocation.command = Command::Help;
        invocation.helpTopic = std::string(commandName(*command));
        result.invocation = invocation;
        return result;
    }

    invocation.command = *command;
    const CommandEntry& entry = entryOf(*command);
    invocation.arguments.assign(line.words.begin() + static_cast<std::ptrdiff_t>(used),
                                line.words.end());
    const std::string topic(entry.name);
    const auto fail = [&](std::string message) {
        result.error = std::move(message);
        result.errorTopic = topic;
        return result;
    };

    if (*command == Command::Help) {
        if (!invocation.arguments.empty()) {
            std::size_t topicWords = 0;
            std::string topicError;
            const auto about = resolveCommand(invocation.arguments, topicWords, topicError);
            if (about) {
                invocation.helpTopic = std::string(commandName(*about));
            } else if (invocation.arguments.size() == 1 &&
                       isCommandGroup(invocation.arguments[0])) {
                invocation.helpTopic = invocation.arguments[0];
                topicWords = 1;
            } else {
                return fail(topicError);
            }
            if (topicWords != invocation.arguments.size())
                return fail("help takes one command");
        }
        result.invocation = invocation;
        return result;
    }

    if (invocation.arguments.size() < entry.minArguments ||
        invocation.arguments.size() > entry.maxArguments)
        return fail(usageCountError(entry, invocation.arguments.size()));

    for (const auto& [name, value] : line.options) {
        if (isGlobalOption(name))
            continue;
        if (std::find(entry.options.begin(), entry.options.end(), name) == entry.options.end())
            return fail(
                std::string("--").append(name).append(" is not an option of ").append(topic));
    }
    if (const auto it = line.options.find("bus"); it != line.options.end()) {
        invocation.bus = ipc::BusAddress::parse(it->second);
        if (!invocation.bus)
            return fail("--bus \"" + it->second +
                        "\" is not system, session or a D-Bus address (such as "
                        "unix:path=/run/bus)");
    }
    if (const auto it = line.options.find("timeout"); it != line.options.end()) {
        const auto ms = parseInteger(it->second, 1, 3'600'000);
        if (!ms)
            return fail("--timeout \"" + it->second +
                        "\" is not a number of milliseconds from 1 to 3600000");
        invocation.timeout = std::chrono::milliseconds(*ms);
    }
    if (line.options.contains("json")) {
        if (!entry.json)
            return fail("--json: " + topic + " prints no data");
        invocation.json = true;
    }
    invocation.profileFolder = optionValue(line.options, "folder");
    if (invocation.profileFolder && invocation.profileFolder->empty())
        return fail("--folder must not be empty");
    if (std::string problem = takeCommandArguments(invocation, line.options); !problem.empty())
        return fail(std::move(problem));

    result.invocation = std::move(invocation);
    return result;
}

}  // namespace qm::qmctl
