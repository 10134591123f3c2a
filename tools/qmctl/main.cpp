// qmctl: the command-line client of the microphone service (see help_text.cpp for what it
// does, exit_codes.h for how it ends).
//
// Environment:
//   QM_DBUS_ADDRESS   the bus of the service when --bus isn't given ("system", "session" or a
//                     D-Bus address); the system bus without it

#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "tools/qmctl/commands.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/service_access.h"
#include "tools/qmctl/signal_forwarder.h"

int main(int argc, char** argv) {
    using namespace qm::qmctl;
    try {
        const ParseResult parsed =
            parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (!parsed.invocation)
            return reportUsageError(parsed, std::cerr);
        const Invocation& invocation = *parsed.invocation;

        WatchQueue queue(qm::Clock::real());
        // Only watch waits for the user to end it; the other commands keep the default signal
        // handling (their calls are bounded by the call time-out).
        std::optional<SignalForwarder> signals;
        if (invocation.command == Command::Watch)
            signals.emplace([&queue](int signal) { queue.post(WatchEvent::stop(signal)); });

        BusServiceAccess service(invocation.bus, invocation.timeout);
        CommandContext context{service, std::cout, std::cerr, queue, qm::Clock::real()};
        const int exitCode = runCommand(invocation, context);
        std::cout.flush();
        return exitCode;
    } catch (const std::exception& failure) {
        std::cerr << "qmctl: " << failure.what() << '\n';
        return kExitCallFailed;
    }
}
