#include "service/com/command_line.h"

#include "common/text/text.h"

namespace qm::com {
namespace {

bool isSeparator(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

bool needsQuotes(std::string_view argument) {
    if (argument.empty()) {
        return true;
    }
    for (char c : argument) {
        if (isSeparator(c)) {
            return true;
        }
    }
    return false;
}

enum class LongOption { Bus, Simulate, Sound, Record, Replay };

// The long option an argument names, and the value written after '=' in it, if any.
std::optional<LongOption> longOptionOf(std::string_view argument,
                                       std::optional<std::string_view>& inlineValue) {
    inlineValue.reset();
    if (argument.substr(0, 2) != "--") {
        return std::nullopt;
    }
    std::string_view name = argument.substr(2);
    const std::size_t equals = name.find('=');
    if (equals != std::string_view::npos) {
        inlineValue = name.substr(equals + 1);
        name = name.substr(0, equals);
    }
    if (name == "bus") {
        return LongOption::Bus;
    }
    if (name == "simulate") {
        return LongOption::Simulate;
    }
    if (name == "sound") {
        return LongOption::Sound;
    }
    if (name == "record") {
        return LongOption::Record;
    }
    if (name == "replay") {
        return LongOption::Replay;
    }
    return std::nullopt;
}

class Planner {
  public:
    Planner(const std::vector<std::string>& arguments, const CustomSwitchParser& parseCustomSwitch)
        : arguments_(arguments), parseCustomSwitch_(parseCustomSwitch) {}

    CommandLinePlan plan() {
        for (index_ = 1; index_ < arguments_.size() && !plan_.endsWithUsage(); ++index_) {
            takeArgument(arguments_[index_]);
        }
        return std::move(plan_);
    }

  private:
    void takeArgument(const std::string& argument) {
        std::optional<std::string_view> inlineValue;
        if (const auto option = longOptionOf(argument, inlineValue)) {
            takeLongOption(*option, inlineValue);
            return;
        }
        if (argument.empty() || (argument.front() != '-' && argument.front() != '/')) {
            addStep(CommandStep::Kind::Usage);
            return;
        }
        const std::string_view name = std::string_view(argument).substr(1);
        if (text::asciiIEquals(name, kSilentSwitch)) {
            plan_.silent = true;
            return;
        }
        SwitchAction action = SwitchAction::Invalid;
        if (const auto known = lookupSwitch(name)) {
            action = *known;
        } else if (parseCustomSwitch_ && parseCustomSwitch_(name) != 0) {
            action = SwitchAction::Custom;
        }
        plan_.lastAction = action;
        switch (action) {
            case SwitchAction::Install:
                addStep(CommandStep::Kind::Install);
                break;
            case SwitchAction::Uninstall:
                addStep(CommandStep::Kind::Uninstall);
                break;
            case SwitchAction::Help:
            case SwitchAction::Invalid:
                addStep(CommandStep::Kind::Usage);
                break;
            case SwitchAction::Service:
            case SwitchAction::Runapp:
            case SwitchAction::Custom:
                break;
        }
    }

    bool given(LongOption option) const {
        switch (option) {
            case LongOption::Bus:
                return plan_.bus.has_value();
            case LongOption::Simulate:
                return plan_.simulate.has_value();
            case LongOption::Sound:
                return plan_.sound.has_value();
            case LongOption::Record:
                return plan_.record.has_value();
            case LongOption::Replay:
                return plan_.replay.has_value();
        }
        return false;
    }

    static std::string nameOf(LongOption option) {
        switch (option) {
            case LongOption::Bus:
                return "--bus";
            case LongOption::Simulate:
                return "--simulate";
            case LongOption::Sound:
                return "--sound";
            case LongOption::Record:
                return "--record";
            case LongOption::Replay:
                return "--replay";
        }
        return {};
    }

    void takeLongOption(LongOption option, std::optional<std::string_view> inlineValue) {
        const std::string name = nameOf(option);
        if (given(option)) {
            addUsage(name + " is given twice");
            return;
        }
        std::string_view value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (index_ + 1 < arguments_.size()) {
            value = arguments_[++index_];
        } else {
            addUsage(name + " needs a value");
            return;
        }
        std::string error;
        switch (option) {
            case LongOption::Bus:
                plan_.bus = parseBusChoice(value, error);
                break;
            case LongOption::Simulate:
                plan_.simulate = parseSimulateList(value, error);
                break;
            case LongOption::Sound:
                plan_.sound = parseSoundServer(value, error);
                break;
            case LongOption::Record:
            case LongOption::Replay:
                if (value.empty()) {
                    error = "needs a file name";
                } else {
                    (option == LongOption::Record ? plan_.record : plan_.replay) =
                        std::string(value);
                }
                break;
        }
        // The bridges are the machine's (recorded or not), virtual ones, or a recording's.
        const int sources =
            (plan_.simulate ? 1 : 0) + (plan_.record ? 1 : 0) + (plan_.replay ? 1 : 0);
        if (error.empty() && sources > 1) {
            error = "--simulate, --record and --replay cannot be given together";
        }
        if (!error.empty()) {
            addUsage(name + ": " + error);
        }
    }

    void addStep(CommandStep::Kind kind) { plan_.steps.push_back({kind, plan_.silent, {}}); }

    void addUsage(std::string error) {
        plan_.steps.push_back({CommandStep::Kind::Usage, plan_.silent, std::move(error)});
    }

    const std::vector<std::string>& arguments_;
    const CustomSwitchParser& parseCustomSwitch_;
    std::size_t index_ = 1;
    CommandLinePlan plan_;
};

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t end = commandLine.size();
    while (i < end && arguments.size() < kMaxArguments) {
        while (i < end && isSeparator(commandLine[i])) {
            ++i;
        }
        if (i == end) {
            break;
        }
        std::size_t start = i;
        if (commandLine[i] == '"') {
            start = ++i;
            while (i < end && commandLine[i] != '"') {
                ++i;
            }
        } else {
            while (i < end && !isSeparator(commandLine[i])) {
                ++i;
            }
        }
        arguments.emplace_back(commandLine.substr(start, i - start));
        if (i < end) {
            ++i;  // the character that ended the argument is its terminator
        }
    }
    return arguments;
}

std::string joinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        if (needsQuotes(argument)) {
            line += '"';
            line += argument;
            line += '"';
        } else {
            line += argument;
        }
    }
    return line;
}

CommandLinePlan planCommandLine(const std::vector<std::string>& arguments,
                                const CustomSwitchParser& parseCustomSwitch) {
    return Planner(arguments, parseCustomSwitch).plan();
}

}  // namespace qm::com
