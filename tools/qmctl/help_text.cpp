#include "tools/qmctl/help_text.h"

#include <map>

#include "common/settings/models.h"
#include "common/settings/setting_table.h"
#include "tools/qmctl/command_line.h"
#include "tools/qmctl/setting_change.h"

namespace qm::qmctl {
namespace {

constexpr const char* kOptions =
    "Options (anywhere on the line; '--' ends them):\n"
    "  --bus system|session|ADDRESS  the bus the service is on (default: $QM_DBUS_ADDRESS,\n"
    "                                else the system bus)\n"
    "  --json                        print JSON, one object per line (list, show, set,\n"
    "                                log-folder, watch, sim list, sim plug-foreign,\n"
    "                                profile list, show, save, apply, import and auto)\n"
    "  --timeout MS                  time-out of each call to the service (default 5000;\n"
    "                                the sim commands always wait up to 10000)\n"
    "  --help, -h                    this help; 'qmctl help COMMAND' or 'qmctl COMMAND --help'\n";

constexpr const char* kExitCodes =
    "Exit codes:\n"
    "  0  done\n"
    "  1  a call failed: the service or the microphone answered with an error, or not in time\n"
    "  2  bad command line: unknown command or option, wrong number of arguments, unknown or\n"
    "     read-only setting name, value that is not a number from 0 to 255\n"
    "  3  the service is not running (it can't be reached on the bus)\n"
    "  4  no microphone has that serial number\n"
    "  5  the change was sent, but the microphone did not acknowledge it (profile apply: a\n"
    "     step was not acknowledged after nine attempts)\n"
    "  6  a profile can't be used: no profile has that ID, its file can't be read or\n"
    "     written, or it is another model's\n";

std::string folderNote() {
    return "The profile folder is the machine-wide one (ProfileFolder in the\nsettings store; "
           "default /var/lib/quillmere/profiles), or DIR with --folder.\n";
}

constexpr const char* kCommandList =
    "Commands:\n"
    "  list                            microphones by model, with their state\n"
    "  show SERIAL                     identity and every setting of a microphone\n"
    "  set SERIAL SETTING VALUE        change a setting (VALUE 0..255, decimal or 0x..)\n"
    "  reset SERIAL                    make a microphone restore its own defaults\n"
    "  rename SERIAL [--friendly-name TEXT] [--description TEXT]\n"
    "                                  set a microphone's friendly name or description\n"
    "  remove SERIAL                   forget a microphone (list and cache)\n"
    "  remove-inactive                 forget every microphone that is not started\n"
    "  log-folder [PATH]               show, or set, the service's log folder\n"
    "  watch                           print the service's notifications until Ctrl-C\n"
    "  sim plug MODEL SERIAL           plug in a virtual microphone\n"
    "  sim unplug SERIAL               unplug a virtual microphone\n"
    "  sim plug-foreign NAME           plug in another maker's audio device\n"
    "  sim unplug-foreign ENDPOINT-ID  unplug it again\n"
    "  sim fault SERIAL FAULT [--count N] [--value V]\n"
    "                                  make a virtual microphone misbehave\n"
    "  sim list                        the virtual microphones\n"
    "  profile list [SERIAL|MODEL]     the saved profiles, by model\n"
    "  profile show FILE|ID            a profile's name, origin and settings\n"
    "  profile save SERIAL NAME [--description TEXT]\n"
    "                                  save a microphone's settings as a profile\n"
    "  profile apply SERIAL FILE|ID [--rollback]\n"
    "                                  apply a profile, step by step, with retries\n"
    "  profile rename FILE|ID [--name TEXT] [--description TEXT]\n"
    "  profile remove FILE|ID          delete a profile\n"
    "  profile export ID PATH          copy a profile's file out\n"
    "  profile import PATH             bring a profile file in\n"
    "  profile auto SERIAL [ID|--off]  the profile the service applies when the microphone\n"
    "                                  starts\n"
    "  help [COMMAND]                  this help, or a command's\n";

std::string settingCalls() {
    std::string out;
    for (const settings::SettingInfo& info : settings::settingTable()) {
        std::string line = "  " + std::string(info.registryName);
        line.append(line.size() < 17 ? 17 - line.size() : 1, ' ');
        if (info.changedBy.empty()) {
            line += "read only (the level the ALC has reached)";
        } else {
            const ChangeCall call = sdk::settingCallFor(info.setting, 0);
            line += std::string(call.operation) + "(";
            if (call.band)
                line += std::to_string(*call.band) + ", ";
            line += "VALUE)";
        }
        out += line + "\n";
    }
    return out;
}

std::string modelNames() {
    std::string out;
    for (std::string_view name : settings::kProductNames) {
        out += out.empty() ? "" : ", ";
        out += "\"" + std::string(name) + "\"";
    }
    return out;
}

const std::map<std::string, std::string, std::less<>>& commandTexts() {
    static const std::map<std::string, std::string, std::less<>> texts = {
        {"list",
         "Usage: qmctl list [--json]\n\n"
         "Lists the microphones the service knows, grouped by model (Alder, Birch, Cedar, Larch,\n"
         "Rowan, CP2114 USB-Audio Bridge, then others), each with its serial number, state and\n"
         "friendly name. States: started (its channel is open and its settings were read),\n"
         "starting (open, first read of its settings still running), not started (known from\n"
         "the cache, not plugged in).\n"},
        {"show",
         "Usage: qmctl show SERIAL [--json]\n\n"
         "Shows a microphone's identity (serial number, model, friendly name, description,\n"
         "container id, state; vendor id, product id and hardware version when it is started)\n"
         "and every setting of the service's description of it, by the names 'set' takes.\n"
         "The serial number is compared without regard to case.\n"},
        {"set",
         "Usage: qmctl set SERIAL SETTING VALUE [--json]\n\n"
         "Changes one setting the way the studio's panels do: the setting's change call, then\n"
         "GetLastStatus for the microphone's acknowledgement, then ResetStatus when there is\n"
         "none. VALUE is a byte: 0 to 255, or 0x00 to 0xff. SETTING is the setting's name,\n"
         "without regard to case; the call each makes:\n" +
             settingCalls() +
             "The service passes the byte to the microphone unchanged. Exits with 5 when the\n"
             "microphone did not acknowledge the change.\n"},
        {"reset",
         "Usage: qmctl reset SERIAL\n\n"
         "Makes the microphone restore its own default settings (ResetDefault); the service\n"
         "then reads them again.\n"},
        {"rename",
         "Usage: qmctl rename SERIAL [--friendly-name TEXT] [--description TEXT]\n\n"
         "Sets the friendly name, the description or both; the service keeps them in its\n"
         "cache. An empty TEXT clears the field.\n"},
        {"remove",
         "Usage: qmctl remove SERIAL\n\n"
         "Stops the microphone and removes it from the service's list and cache\n"
         "(RemoveDeviceBySN). A microphone that is still plugged in comes back as new when it\n"
         "is plugged in again.\n"},
        {"remove-inactive",
         "Usage: qmctl remove-inactive\n\n"
         "Removes every microphone that is not started from the service's list and cache, and\n"
         "says which ones went.\n"},
        {"log-folder",
         "Usage: qmctl log-folder [PATH] [--json]\n\n"
         "Without PATH: prints the folder of the service's logs. With PATH: makes the service\n"
         "write its logs there from now on (it creates the folder); a relative PATH is taken\n"
         "from the current folder.\n"},
        {"watch",
         "Usage: qmctl watch [--json]\n\n"
         "Prints each notification of the service as it arrives: the serial number and the\n"
         "state: stopped (0), started (1), new (2), removed (3), inactive-removed (4, serial\n"
         "1234567), profile-applied (5) and profile-failed (6) for an automatic profile,\n"
         "service-release (-1, serial 000000). With --json one object per line:\n"
         "{\"serial\":\"SN1001\",\"state\":1,\"event\":\"started\"}. Ends on Ctrl-C (SIGINT),\n"
         "SIGTERM, or the service's release (exit 0), or when the service leaves the bus\n"
         "without one (exit 3).\n"},
        {"sim plug",
         "Usage: qmctl sim plug MODEL SERIAL\n\n"
         "Plugs in a virtual microphone (bridge and audio endpoint) of a service started with\n"
         "--simulate, or plugs a known one in again. Models: " +
             modelNames() + ".\n"},
        {"sim unplug",
         "Usage: qmctl sim unplug SERIAL\n\n"
         "Unplugs a virtual microphone: its bridge goes, then its audio endpoint.\n"},
        {"sim plug-foreign",
         "Usage: qmctl sim plug-foreign NAME [--json]\n\n"
         "Plugs in an audio endpoint without a bridge (another maker's device) and prints its\n"
         "endpoint id, for sim unplug-foreign.\n"},
        {"sim unplug-foreign",
         "Usage: qmctl sim unplug-foreign ENDPOINT-ID\n\n"
         "Unplugs an audio endpoint that sim plug-foreign plugged in.\n"},
        {"sim fault",
         "Usage: qmctl sim fault SERIAL FAULT [--count N] [--value V]\n\n"
         "Makes a virtual microphone misbehave. FAULT is one of:\n"
         "  fail-writes          writes fail\n"
         "  no-reply             frames get no answer\n"
         "  wrong-block          status replies carry a wrong block number\n"
         "  garbage              answers are bytes that mean nothing\n"
         "  reject-changes       changes are refused; V is the refusal code (0 means 1)\n"
         "  unplug-after-writes  the microphone unplugs itself after N more frames\n"
         "  pass-frames          the next N frames pass untouched; the other faults apply to\n"
         "                       the frames after them\n"
         "  slow                 every answer comes V milliseconds late\n"
         "  clear                all faults end\n"
         "N (default 1) is the number of frames affected, -1 for 'until cleared'.\n"},
        {"sim list",
         "Usage: qmctl sim list [--json]\n\n"
         "Lists the virtual microphones ever plugged in, with their model and whether they are\n"
         "plugged in now.\n"},
        {"profile list",
         "Usage: qmctl profile list [SERIAL|MODEL] [--folder DIR] [--json]\n\n"
         "Lists the profiles of the profile folder by model, each with its ID, name and\n"
         "description; a file that can't be read is listed with the reason. With a MODEL\n"
         "(" +
             modelNames() +
             "), only that model's; with a SERIAL, the profiles that fit that\n"
             "microphone (asked of the service). " +
             folderNote()},
        {"profile show",
         "Usage: qmctl profile show FILE|ID [--folder DIR] [--json]\n\n"
         "Shows a profile: its name, description, model, the serial number of the microphone\n"
         "it was saved from, its file, and every setting as the file holds it. FILE is a path\n"
         "(it has a '/' or ends in .xml); anything else is a profile ID, compared without\n"
         "regard to case. " +
             folderNote()},
        {"profile save",
         "Usage: qmctl profile save SERIAL NAME [--description TEXT] [--folder DIR] [--json]\n\n"
         "Saves the settings of a microphone, as the service describes them, as a new profile\n"
         "with a new ID, in the sub-folder of its model. " +
             folderNote()},
        {"profile apply",
         "Usage: qmctl profile apply SERIAL FILE|ID [--rollback] [--folder DIR] [--json]\n\n"
         "Applies a profile as the studio does: the profile's settings one by one, each 200 ms\n"
         "after the one before, each followed by GetLastStatus and, when the microphone did\n"
         "not acknowledge it, ResetStatus and up to eight more attempts. The first setting\n"
         "still not acknowledged ends the run (exit 5). A line per step shows its outcome;\n"
         "with --json, an object per change of the step log, then a 'finished' object.\n"
         "The profile must be of the microphone's model.\n"
         "--rollback: reads the microphone's settings first; if the run ends on a failed step,\n"
         "every setting it sent (the failed one too) is set back, and the outcome says which\n"
         "were acknowledged. " +
             folderNote()},
        {"profile rename",
         "Usage: qmctl profile rename FILE|ID [--name TEXT] [--description TEXT] [--folder DIR]\n\n"
         "Changes a profile's name, description or both in its file. The name must not be\n"
         "empty. " +
             folderNote()},
        {"profile remove",
         "Usage: qmctl profile remove FILE|ID [--folder DIR]\n\n"
         "Deletes a profile's file. " +
             folderNote()},
        {"profile export",
         "Usage: qmctl profile export ID PATH [--folder DIR]\n\n"
         "Copies a profile's file to PATH (a file, or a folder to put it in); an existing file\n"
         "is not replaced. " +
             folderNote()},
        {"profile import",
         "Usage: qmctl profile import PATH [--folder DIR] [--json]\n\n"
         "Copies a profile file into the sub-folder of its model. It keeps its ID unless a\n"
         "profile of the folder already has it; then it gets a new one. " +
             folderNote()},
        {"profile auto",
         "Usage: qmctl profile auto SERIAL [ID|--off] [--json]\n\n"
         "Without ID: shows the microphone's automatic profile. With ID: the service applies\n"
         "that profile (same steps and retries as profile apply, logged in the microphone's\n"
         "log) each time the microphone starts: when it is plugged in, when the service starts\n"
         "and after a resume; clients get state 5 when it was applied, 6 when a step failed.\n"
         "The profile must lie in the machine-wide profile folder and be of the microphone's\n"
         "model. --off: no automatic profile. The choice is kept in the microphone's key of\n"
         "the settings store (value AutoProfile), so it goes when the microphone is removed.\n"},
        {"help",
         "Usage: qmctl help [COMMAND]\n\n"
         "Shows the overview, or the help of a command ('qmctl help sim plug').\n"},
    };
    return texts;
}

}  // namespace

std::string overviewHelp() {
    return std::string(
               "Usage: qmctl [OPTIONS] COMMAND [ARGUMENTS]\n\n"
               "Talks to the microphone service qmMicHost: lists its microphones, reads "
               "and changes\ntheir settings, watches its notifications, and drives the "
               "virtual microphones of a\nservice started with --simulate.\n\n") +
           kCommandList + "\n" + kOptions + "\n" + kExitCodes;
}

std::string helpFor(const std::optional<std::string>& topic) {
    if (!topic)
        return overviewHelp();
    if (*topic == "sim" || *topic == "profile") {
        std::string out = *topic == "sim" ? "The sim commands drive the virtual microphones of a "
                                            "service started with --simulate.\n"
                                          : "The profile commands keep named snapshots of a "
                                            "microphone's settings and apply them.\n";
        for (const auto& [name, text] : commandTexts()) {
            if (name.starts_with(*topic + " "))
                out += "\n" + text;
        }
        return out + "\n" + kOptions + "\n" + kExitCodes;
    }
    const auto found = commandTexts().find(*topic);
    if (found == commandTexts().end())
        return overviewHelp();
    return found->second + "\n" + kOptions + "\n" + kExitCodes;
}

}  // namespace qm::qmctl
