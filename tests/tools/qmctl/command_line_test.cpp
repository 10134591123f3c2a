#include "tools/qmctl/command_line.h"

#include <gtest/gtest.h>

namespace qm::qmctl {
namespace {

using settings::Setting;

Invocation parsed(const std::vector<std::string>& args) {
    const ParseResult result = parseCommandLine(args);
    EXPECT_TRUE(result.invocation) << result.error;
    return result.invocation.value_or(Invocation{});
}

std::string errorOf(const std::vector<std::string>& args) {
    const ParseResult result = parseCommandLine(args);
    EXPECT_FALSE(result.invocation);
    return result.error;
}

TEST(CommandLine, GlobalOptionsStandAnywhereInBothForms) {
    Invocation a = parsed({"--bus", "session", "list", "--json", "--timeout=250"});
    EXPECT_EQ(a.command, Command::List);
    EXPECT_EQ(a.bus, ipc::BusAddress::session());
    EXPECT_TRUE(a.json);
    EXPECT_EQ(a.timeout, std::chrono::milliseconds(250));

    Invocation b = parsed({"show", "SN1001", "--bus=unix:path=/tmp/bus,guid=1"});
    EXPECT_EQ(b.command, Command::Show);
    EXPECT_EQ(b.arguments, std::vector<std::string>{"SN1001"});
    EXPECT_EQ(b.bus, ipc::BusAddress::explicitAddress("unix:path=/tmp/bus,guid=1"));
    EXPECT_FALSE(b.json);
    EXPECT_FALSE(b.timeout);

    EXPECT_EQ(parsed({"list", "--bus", "SYSTEM"}).bus, ipc::BusAddress::system());
}

TEST(CommandLine, DoubleDashMakesTheRestArguments) {
    const Invocation rename = parsed({"rename", "--friendly-name", "--x", "--", "-SN-1"});
    EXPECT_EQ(rename.arguments, std::vector<std::string>{"-SN-1"});
    EXPECT_EQ(rename.friendlyName, "--x");  // an option's value may begin with '-'
    EXPECT_FALSE(rename.description);

    EXPECT_EQ(parsed({"sim", "fault", "SN1", "clear", "--count", "-1"}).faultCount, -1);
}

TEST(CommandLine, HelpInEveryForm) {
    EXPECT_EQ(parsed({"--help"}).command, Command::Help);
    EXPECT_FALSE(parsed({"-h"}).helpTopic);
    EXPECT_FALSE(parsed({"help"}).helpTopic);
    EXPECT_EQ(parsed({"help", "set"}).helpTopic, "set");
    EXPECT_EQ(parsed({"help", "sim", "fault"}).helpTopic, "sim fault");
    EXPECT_EQ(parsed({"help", "sim"}).helpTopic, "sim");
    EXPECT_EQ(parsed({"sim", "--help"}).helpTopic, "sim");
    // A command's --help wins over its missing or wrong arguments.
    EXPECT_EQ(parsed({"set", "--help"}).helpTopic, "set");
    EXPECT_EQ(parsed({"sim", "plug", "Oak", "-h"}).helpTopic, "sim plug");

    EXPECT_EQ(errorOf({"help", "frobnicate"}), "unknown command \"frobnicate\"");
    EXPECT_EQ(errorOf({"help", "list", "show"}), "help takes one command");
}

TEST(CommandLine, ReportsWhatIsWrongAndWhereToLook) {
    EXPECT_EQ(errorOf({}), "no command given");
    EXPECT_EQ(errorOf({"frobnicate"}), "unknown command \"frobnicate\"");
    EXPECT_EQ(errorOf({"list", "--verbose"}), "unknown option \"--verbose\"");
    EXPECT_EQ(errorOf({"list", "-v"}), "unknown option \"-v\"");
    EXPECT_EQ(errorOf({"list", "--bus"}), "--bus needs a value");
    EXPECT_EQ(errorOf({"list", "--json=yes"}), "--json takes no value");
    EXPECT_EQ(errorOf({"sim"}),
              "sim needs a subcommand: plug, unplug, plug-foreign, "
              "unplug-foreign, fault or list");
    EXPECT_EQ(errorOf({"sim", "dance"}), "unknown sim subcommand \"dance\"");

    const ParseResult count = parseCommandLine({"show"});
    EXPECT_EQ(count.error, "show takes 1 argument, 0 given");
    EXPECT_EQ(count.errorTopic, "show");
    EXPECT_EQ(errorOf({"list", "extra"}), "list takes no arguments, 1 given");
    EXPECT_EQ(errorOf({"set", "SN1", "LPF"}), "set takes 3 arguments, 2 given");
    EXPECT_EQ(errorOf({"log-folder", "a", "b"}), "log-folder takes 0 to 1 arguments, 2 given");

    EXPECT_EQ(errorOf({"reset", "SN1", "--json"}), "--json: reset prints no data");
    EXPECT_EQ(errorOf({"set", "SN1", "LPF", "1", "--count", "2"}),
              "--count is not an option of set");
    EXPECT_EQ(errorOf({"list", "--bus", "nowhere"}),
              "--bus \"nowhere\" is not system, session or a D-Bus address (such as "
              "unix:path=/run/bus)");
    EXPECT_EQ(errorOf({"list", "--timeout", "0"}),
              "--timeout \"0\" is not a number of milliseconds from 1 to 3600000");
    EXPECT_FALSE(parseCommandLine({"list", "--timeout", "5s"}).invocation);
    EXPECT_FALSE(parseCommandLine({"list", "--timeout", "3600001"}).invocation);
    EXPECT_EQ(parsed({"list", "--timeout", "3600000"}).timeout, std::chrono::hours(1));
}

TEST(CommandLine, SetTakesRegistryNamesWithoutRegardToCase) {
    Invocation gain = parsed({"set", "SN1001", "eq_3_gain", "200"});
    EXPECT_EQ(gain.command, Command::Set);
    EXPECT_EQ(gain.setting, Setting::EQ_3_GAIN);
    EXPECT_EQ(gain.value, 200);
    EXPECT_EQ(gain.arguments[0], "SN1001");

    EXPECT_EQ(parsed({"set", "s", "VOLUME", "0x91"}).setting, Setting::Volume);
    EXPECT_EQ(parsed({"set", "s", "Zoom", "0"}).setting, Setting::Zoom);
    EXPECT_EQ(parsed({"set", "s", "tpa", "0XfF"}).value, 255);

    const std::string unknown = errorOf({"set", "s", "Foo", "1"});
    EXPECT_EQ(unknown.rfind("unknown setting \"Foo\"; the settings are: DirVolume, Zoom, Beam, "
                            "LPF, ",
                            0),
              0u);
    EXPECT_EQ(unknown.find("ALC_VOLUME"), std::string::npos);  // not offered: read only
    // The XML names are not the setting names.
    EXPECT_FALSE(parseCommandLine({"set", "s", "DspVolume", "1"}).invocation);
    EXPECT_EQ(errorOf({"set", "s", "alc_volume", "1"}),
              "ALC_VOLUME is read only: it is the level the ALC has reached, not a setting");
    EXPECT_EQ(errorOf({"set", "s", "LPF", "300"}),
              "value \"300\" is not a number from 0 to 255 (decimal, or hexadecimal with 0x)");
}

TEST(SettingValue, AcceptsOnlyBytesInDecimalOrHexadecimal) {
    EXPECT_EQ(parseSettingValue("0"), 0);
    EXPECT_EQ(parseSettingValue("255"), 255);
    EXPECT_EQ(parseSettingValue("007"), 7);
    EXPECT_EQ(parseSettingValue("0x00"), 0);
    EXPECT_EQ(parseSettingValue("0xff"), 255);
    EXPECT_EQ(parseSettingValue("0X1a"), 26);
    for (const char* bad : {"256", "-1", "", "0x", "0x100", "1e2", " 5", "5 ", "+5", "0b1", "ff",
                            "12a", "99999999999999999999", "0x0000000000000000000001ff"}) {
        EXPECT_FALSE(parseSettingValue(bad)) << bad;
    }
}

TEST(CommandLine, RenameNeedsSomethingToChange) {
    EXPECT_EQ(errorOf({"rename", "SN1"}),
              "rename needs --friendly-name TEXT or --description TEXT (or both)");
    const Invocation both = parsed({"rename", "SN1", "--description=", "--friendly-name", "A B"});
    EXPECT_EQ(both.friendlyName, "A B");
    EXPECT_EQ(both.description, "");  // an empty text clears the field
}

TEST(CommandLine, SimCommandsCheckModelFaultAndNumbers) {
    const Invocation plug = parsed({"sim", "plug", "rowan", "SN7"});
    EXPECT_EQ(plug.command, Command::SimPlug);
    EXPECT_EQ(plug.arguments, (std::vector<std::string>{"rowan", "SN7"}));
    EXPECT_EQ(errorOf({"sim", "plug", "Oak", "SN7"}),
              "unknown model \"Oak\"; the models are \"Alder\", \"Birch\", \"Cedar\", \"Larch\", "
              "\"Rowan\", \"CP2114 USB-Audio Bridge\"");

    const Invocation fault =
        parsed({"sim", "fault", "SN1", "Reject-Changes", "--count", "3", "--value=7"});
    EXPECT_EQ(fault.arguments[1], "reject-changes");
    EXPECT_EQ(fault.faultCount, 3);
    EXPECT_EQ(fault.faultValue, 7);
    const Invocation defaults = parsed({"sim", "fault", "SN1", "no-reply"});
    EXPECT_EQ(defaults.faultCount, 1);
    EXPECT_EQ(defaults.faultValue, 0);

    EXPECT_EQ(errorOf({"sim", "fault", "SN1", "explode"}).rfind("unknown fault \"explode\"", 0),
              0u);
    EXPECT_EQ(errorOf({"sim", "fault", "SN1", "garbage", "--count", "-2"}),
              "--count \"-2\" is not -1 or a number of frames");
    EXPECT_EQ(errorOf({"sim", "fault", "SN1", "slow", "--value", "-5"}),
              "--value \"-5\" is not a valid number for slow");
    EXPECT_EQ(parsed({"sim", "fault", "SN1", "reject-changes", "--value", "-5"}).faultValue, -5);
    EXPECT_FALSE(
        parseCommandLine({"sim", "fault", "SN1", "slow", "--value", "4294967296"}).invocation);
    EXPECT_TRUE(parsed({"sim", "plug-foreign", "Webcam", "--json"}).json);
}

TEST(CommandLine, ProfileCommandsTakeTheirOptions) {
    const Invocation save = parsed(
        {"profile", "save", "SN1", "Room", "--description", "warm", "--folder", "/p", "--json"});
    EXPECT_EQ(save.command, Command::ProfileSave);
    EXPECT_EQ(save.arguments, (std::vector<std::string>{"SN1", "Room"}));
    EXPECT_EQ(save.description, "warm");
    EXPECT_EQ(save.profileFolder, "/p");
    EXPECT_TRUE(parsed({"profile", "apply", "SN1", "ID", "--rollback"}).rollback);
    EXPECT_EQ(parsed({"profile", "rename", "ID", "--name", "New"}).profileName, "New");
    EXPECT_TRUE(parsed({"profile", "auto", "SN1", "--off"}).off);
    EXPECT_EQ(parsed({"help", "profile"}).helpTopic, "profile");
    EXPECT_EQ(parsed({"profile", "--help"}).helpTopic, "profile");

    EXPECT_EQ(errorOf({"profile"}),
              "profile needs a subcommand: list, show, save, apply, rename, remove, export, "
              "import or auto");
    EXPECT_EQ(errorOf({"profile", "save", "SN1", ""}), "the profile's NAME must not be empty");
    EXPECT_EQ(errorOf({"profile", "rename", "ID"}),
              "profile rename needs --name TEXT or --description TEXT (or both)");
    EXPECT_EQ(errorOf({"profile", "rename", "ID", "--name="}), "--name must not be empty");
    EXPECT_EQ(errorOf({"profile", "auto", "SN1", "ID", "--off"}),
              "profile auto takes either a profile ID or --off");
    EXPECT_EQ(errorOf({"profile", "auto", "SN1", "--folder", "/p"}),
              "--folder is not an option of profile auto");
    EXPECT_EQ(errorOf({"profile", "show", "ID", "--rollback"}),
              "--rollback is not an option of profile show");
    EXPECT_EQ(errorOf({"sim", "fault", "SN1", "pass-frames", "--count", "-1"}),
              "--count of pass-frames is a number of frames, 0 or more");
}

TEST(CommandLine, EveryCommandHasAName) {
    for (Command command : allCommands())
        EXPECT_FALSE(commandName(command).empty());
}

}  // namespace
}  // namespace qm::qmctl
