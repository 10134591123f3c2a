#pragma once

#include <ostream>
#include <string>

#include "common/runtime/clock.h"
#include "tools/qmctl/command_line.h"
#include "tools/qmctl/profile_settings_access.h"
#include "tools/qmctl/service_access.h"
#include "tools/qmctl/watch.h"

// Running a parsed qmctl command against the service.
namespace qm::qmctl {

struct CommandContext {
    ServiceAccess& service;
    std::ostream& out;  // reports
    std::ostream& err;  // messages: "qmctl: ..." lines
    // watch waits on this queue; the caller posts a Stop event to it to end the watch.
    WatchQueue& watchQueue;
    Clock& clock;
    // The profile settings of the settings store; null: the store of this machine.
    ProfileSettingsAccess* profileSettings = nullptr;
};

// Runs the command (help included) and returns the exit code (exit_codes.h).
int runCommand(const Invocation& invocation, CommandContext& context);

// The lines for a command line that did not parse, written to `err`; returns kExitUsage.
int reportUsageError(const ParseResult& parsed, std::ostream& err);

}  // namespace qm::qmctl
