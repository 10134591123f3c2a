#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service/com/command_line.h"

namespace qm::com {
namespace {

using Args = std::vector<std::string>;
using Kind = CommandStep::Kind;

CommandLinePlan plan(const std::string& commandLine, int customResult = 0) {
    return planCommandLine(splitCommandLine(commandLine),
                           [customResult](std::string_view) { return customResult; });
}

std::vector<Kind> kinds(const CommandLinePlan& p) {
    std::vector<Kind> out;
    for (const CommandStep& step : p.steps) {
        out.push_back(step.kind);
    }
    return out;
}

TEST(SplitCommandLine, SeparatorsAreEveryCharacterUpToSpace) {
    EXPECT_EQ(splitCommandLine("qmMicHost  -install\t/silent\r\n-x\x01-y"),
              (Args{"qmMicHost", "-install", "/silent", "-x", "-y"}));
    EXPECT_EQ(splitCommandLine(""), Args{});
    EXPECT_EQ(splitCommandLine(" \t "), Args{});
    // Bytes above 0x7F (UTF-8) belong to the argument.
    EXPECT_EQ(splitCommandLine("prog -Caf\xC3\xA9"), (Args{"prog", "-Caf\xC3\xA9"}));
}

TEST(SplitCommandLine, QuotesEnclose) {
    EXPECT_EQ(splitCommandLine("\"C:/Program Files/qmMicHost\" -runapp"),
              (Args{"C:/Program Files/qmMicHost", "-runapp"}));
    // The closing quote ends the argument; what follows it starts the next one.
    EXPECT_EQ(splitCommandLine("prog \"ab\"cd"), (Args{"prog", "ab", "cd"}));
    EXPECT_EQ(splitCommandLine("prog \"\" x"), (Args{"prog", "", "x"}));
    // A quote inside an unquoted argument is an ordinary character.
    EXPECT_EQ(splitCommandLine("prog a\"b c"), (Args{"prog", "a\"b", "c"}));
    // An unclosed quote runs to the end.
    EXPECT_EQ(splitCommandLine("prog \"open to the end"), (Args{"prog", "open to the end"}));
    // The terminator after an argument is consumed: "a" then the quote starts a new one.
    EXPECT_EQ(splitCommandLine("prog a \"b\""), (Args{"prog", "a", "b"}));
}

TEST(SplitCommandLine, AtMostSixteenArguments) {
    std::string line = "prog";
    for (int i = 1; i <= 20; ++i) {
        line += " -a" + std::to_string(i);
    }
    const Args args = splitCommandLine(line);
    ASSERT_EQ(args.size(), kMaxArguments);
    EXPECT_EQ(args.front(), "prog");
    EXPECT_EQ(args.back(), "-a15");
}

TEST(JoinCommandLine, SplitsBackIntoTheSameArguments) {
    const Args args = {"/usr/bin/qmMicHost",         "-runapp", "--simulate",
                       "CP2114 USB-Audio Bridge:S1", "",        "tab\there"};
    EXPECT_EQ(joinCommandLine(args),
              "/usr/bin/qmMicHost -runapp --simulate \"CP2114 USB-Audio Bridge:S1\" \"\" "
              "\"tab\there\"");
    EXPECT_EQ(splitCommandLine(joinCommandLine(args)), args);
}

TEST(PlanCommandLine, SilentSilencesOnlyWhatComesAfterIt) {
    const CommandLinePlan silentFirst = plan("qmMicHost /silent /foo");
    ASSERT_EQ(kinds(silentFirst), std::vector<Kind>{Kind::Usage});
    EXPECT_TRUE(silentFirst.steps[0].silent);

    const CommandLinePlan silentLast = plan("qmMicHost /foo /silent");
    ASSERT_EQ(kinds(silentLast), std::vector<Kind>{Kind::Usage});
    EXPECT_FALSE(silentLast.steps[0].silent);
    EXPECT_FALSE(silentLast.silent);  // nothing after the bad switch is looked at
}

TEST(PlanCommandLine, SwitchesAreCaseInsensitiveAndNeedTheirPrefix) {
    const CommandLinePlan upper = plan("qmMicHost -INSTALL");
    EXPECT_EQ(kinds(upper), std::vector<Kind>{Kind::Install});
    EXPECT_EQ(upper.lastAction, SwitchAction::Install);

    EXPECT_EQ(kinds(plan("qmMicHost install")), std::vector<Kind>{Kind::Usage});
    EXPECT_EQ(kinds(plan("qmMicHost \"\"")), std::vector<Kind>{Kind::Usage});
    EXPECT_EQ(kinds(plan("qmMicHost -")), std::vector<Kind>{Kind::Usage});
}

TEST(PlanCommandLine, TheTableAndItsActions) {
    struct Case {
        const char* line;
        std::vector<Kind> steps;
        std::optional<SwitchAction> last;
    };
    const Case cases[] = {
        {"p", {}, std::nullopt},
        {"p -Service", {}, SwitchAction::Service},
        {"p /runapp", {}, SwitchAction::Runapp},
        {"p -RegServer", {Kind::Install}, SwitchAction::Install},
        {"p -uninstall", {Kind::Uninstall}, SwitchAction::Uninstall},
        {"p /Remove", {Kind::Uninstall}, SwitchAction::Uninstall},
        {"p -UNREGSERVER", {Kind::Uninstall}, SwitchAction::Uninstall},
        {"p -help", {Kind::Usage}, SwitchAction::Help},
        {"p /?", {Kind::Usage}, SwitchAction::Help},
        {"p -h", {Kind::Usage}, SwitchAction::Help},
        {"p -install -runapp", {Kind::Install}, SwitchAction::Runapp},
        {"p -uninstall -install", {Kind::Uninstall, Kind::Install}, SwitchAction::Install},
        {"p -install -service", {Kind::Install}, SwitchAction::Service},
        {"p -install /silent", {Kind::Install}, SwitchAction::Install},
        {"p /silent", {}, std::nullopt},
        {"p -install -bogus -uninstall", {Kind::Install, Kind::Usage}, SwitchAction::Invalid},
    };
    for (const Case& c : cases) {
        const CommandLinePlan p = plan(c.line);
        EXPECT_EQ(kinds(p), c.steps) << c.line;
        EXPECT_EQ(p.lastAction, c.last) << c.line;
    }
}

TEST(PlanCommandLine, CustomSwitchesNeedTheModulesConsent) {
    const CommandLinePlan refused = plan("p -custom");
    EXPECT_EQ(kinds(refused), std::vector<Kind>{Kind::Usage});
    EXPECT_EQ(refused.lastAction, SwitchAction::Invalid);

    const CommandLinePlan accepted = plan("p -runapp -custom", 1);
    EXPECT_TRUE(accepted.steps.empty());
    EXPECT_EQ(accepted.lastAction, SwitchAction::Custom);
    // The table comes first: a custom parser never sees a table switch.
    EXPECT_EQ(plan("p -install", 1).lastAction, SwitchAction::Install);
}

TEST(PlanCommandLine, ArgumentsAfterTheSixteenthAreIgnored) {
    std::string line = "qmMicHost";
    for (int i = 0; i < 15; ++i) {
        line += " /silent";
    }
    line += " /foo -install";  // the 17th and 18th
    const CommandLinePlan p = plan(line);
    EXPECT_TRUE(p.steps.empty());
    EXPECT_FALSE(p.lastAction.has_value());
    EXPECT_TRUE(p.silent);
}

TEST(PlanCommandLine, LongOptionsAreNoSwitchesOfTheTable) {
    const CommandLinePlan p = plan(
        "qmMicHost -runapp --bus session --simulate alder:SN1001,Cedar:SN1002 --sound "
        "default");
    EXPECT_TRUE(p.steps.empty());
    EXPECT_EQ(p.sound, std::string()) << "default: the user's own sound server";
    EXPECT_EQ(plan("p --sound unix:/tmp/pa.sock").sound, "unix:/tmp/pa.sock");
    EXPECT_EQ(p.lastAction, SwitchAction::Runapp);
    EXPECT_EQ(p.bus, (BusChoice{BusChoice::Kind::Session, {}}));
    ASSERT_TRUE(p.simulate.has_value());
    EXPECT_EQ(*p.simulate,
              (std::vector<SimulatedMicrophone>{{"Alder", "SN1001"}, {"Cedar", "SN1002"}}));

    // Alone they leave the action code unset, so the process goes on as without them.
    const CommandLinePlan alone = plan("qmMicHost --bus=unix:path=/tmp/bus");
    EXPECT_FALSE(alone.lastAction.has_value());
    EXPECT_EQ(alone.bus, (BusChoice{BusChoice::Kind::Address, "unix:path=/tmp/bus"}));
    // And after an install they don't turn "install, then exit" into a run.
    EXPECT_EQ(plan("qmMicHost -install --bus system").lastAction, SwitchAction::Install);

    EXPECT_EQ(plan("qmMicHost -runapp --record /tmp/bridges.rec").record, "/tmp/bridges.rec");
    EXPECT_EQ(plan("qmMicHost -runapp --replay=/tmp/bridges.rec").replay, "/tmp/bridges.rec");
}

TEST(PlanCommandLine, BadLongOptionsShowTheUsageWithTheirError) {
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"p --bus", "--bus needs a value"},
        {"p --bus=", "--bus: \"\" is not system, session or a D-Bus address"},
        {"p --bus nowhere", "--bus: \"nowhere\" is not system, session or a D-Bus address"},
        {"p --bus system --bus session", "--bus is given twice"},
        {"p --simulate", "--simulate needs a value"},
        {"p --simulate Oak:SN1", "--simulate: unknown model \"Oak\""},
        {"p --simulate Alder:SN1,alder:sn1", "--simulate: serial \"sn1\" is given twice"},
        {"p --sound", "--sound needs a value"},
        {"p --sound=", "--sound: \"\" is not default or a sound server address"},
        {"p --record", "--record needs a value"},
        {"p --replay=", "--replay: needs a file name"},
        {"p --simulate Alder:SN1 --record f", "--record: --simulate, --record and --replay "},
        {"p --record f --replay g", "--replay: --simulate, --record and --replay "},
    };
    for (const Case& c : cases) {
        const CommandLinePlan p = plan(c.line);
        ASSERT_EQ(kinds(p), std::vector<Kind>{Kind::Usage}) << c.line;
        EXPECT_EQ(p.steps[0].error.rfind(c.error, 0), 0u) << c.line << ": " << p.steps[0].error;
    }
    // The value is taken whatever it looks like, so a switch can't hide behind a value.
    EXPECT_EQ(kinds(plan("p --bus -install")), std::vector<Kind>{Kind::Usage});
    // Silent before a bad option silences it too.
    EXPECT_TRUE(plan("p /silent --bus nowhere").steps[0].silent);
    // Spelled otherwise they are ordinary bad switches, with no error line of their own.
    for (const char* line : {"p --BUS session", "p --buses", "p --", "p --help"}) {
        const CommandLinePlan p = plan(line);
        ASSERT_EQ(kinds(p), std::vector<Kind>{Kind::Usage}) << line;
        EXPECT_TRUE(p.steps[0].error.empty()) << line;
        EXPECT_EQ(p.lastAction, SwitchAction::Invalid) << line;
    }
}

TEST(PlanCommandLine, ALongOptionsValueCountsAgainstTheSixteen) {
    std::string line = "qmMicHost";
    for (int i = 0; i < 14; ++i) {
        line += " -service";
    }
    line += " --bus session";  // "--bus" is the 16th argument, its value the 17th
    const CommandLinePlan p = plan(line);
    ASSERT_EQ(kinds(p), std::vector<Kind>{Kind::Usage});
    EXPECT_EQ(p.steps[0].error, "--bus needs a value");
}

}  // namespace
}  // namespace qm::com
