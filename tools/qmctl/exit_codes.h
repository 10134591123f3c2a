#pragma once

// Exit codes of qmctl. Scripts tell the failures apart by these numbers; --help lists them.
namespace qm::qmctl {

enum ExitCode : int {
    kExitOk = 0,
    // A call failed: the service or the microphone answered with an error, or did not answer in
    // time.
    kExitCallFailed = 1,
    // The command line is wrong: unknown command or option, missing or extra arguments, a
    // setting name that does not exist or is read only, a value that is not a number in 0..255.
    kExitUsage = 2,
    // The service cannot be reached on the bus (it is not running, or the bus is not there).
    kExitServiceUnavailable = 3,
    // No microphone (or, for sim commands, no virtual microphone) has the serial number given.
    kExitUnknownSerial = 4,
    // The change was sent, but the microphone did not acknowledge it (GetLastStatus failed).
    kExitChangeRefused = 5,
    // A profile can't be used: no profile has that ID, its file can't be read or written, or
    // it belongs to another model.
    kExitProfile = 6,
};

}  // namespace qm::qmctl
