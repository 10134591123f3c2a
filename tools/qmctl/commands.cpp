#include "tools/qmctl/commands.h"

#include "common/ipc/ipc_result.h"
#include "tools/qmctl/command_support.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/help_text.h"
#include "tools/qmctl/microphones.h"
#include "tools/qmctl/result_text.h"

namespace qm::qmctl {
namespace detail {
namespace {

// The system bus's policy, as the package and "qmMicHost -Install" write it.
constexpr const char* kWhoMayCall =
    "only root and members of the group quillmere may use the service";

std::string meaningOf(sdk::HRESULT hr) {
    switch (hr) {
        case sdk::E_NOINTERFACE:
            return "the microphone is not started, or it did not answer";
        case sdk::E_INVALIDARG:
            return "the service refused the arguments or could not store the value";
        case sdk::E_POINTER:
            return "the service does not have it in its list";
        case ipc::kServiceUnavailable:
            return "the service is not on the bus any more";
        case ipc::kCallTimedOut:
            return "the service did not answer in time (see --timeout)";
        case ipc::kObjectDisconnected:
            return "the service no longer has this object";
        case sdk::E_ACCESSDENIED:
            return kWhoMayCall;
        default:
            return {};
    }
}

}  // namespace

std::shared_ptr<sdk::IQuillmereSDK> connectManager(CommandContext& context, int& exitCode) {
    sdk::HRESULT hr = sdk::S_OK;
    auto manager = context.service.connect(hr);
    if (manager)
        return manager;
    const std::string bus = context.service.busDescription();
    if (hr == ipc::kCallTimedOut) {
        context.err << "qmctl: the service on the " << bus << " bus does not answer ("
                    << resultText(hr) << ")\n";
    } else if (hr == sdk::E_ACCESSDENIED) {
        context.err << "qmctl: the service on the " << bus << " bus refused the call ("
                    << resultText(hr) << "): " << kWhoMayCall << "\n";
    } else {
        context.err << "qmctl: the service is not running on the " << bus << " bus ("
                    << resultText(hr) << ")\n";
    }
    exitCode = kExitServiceUnavailable;
    return nullptr;
}

std::shared_ptr<sdk::IQMDevice> findMicrophone(CommandContext& context, sdk::IQuillmereSDK& manager,
                                               std::string_view serial, int& exitCode) {
    std::shared_ptr<sdk::IQMDevice> device;
    const sdk::HRESULT hr = findDevice(manager, serial, device);
    if (sdk::FAILED(hr)) {
        exitCode = reportFailure(context, "reading the list of microphones", hr);
        return nullptr;
    }
    if (!device) {
        context.err << "qmctl: no microphone with serial number \"" << serial
                    << "\" is known to the service\n";
        exitCode = kExitUnknownSerial;
    }
    return device;
}

int reportFailure(CommandContext& context, std::string_view what, sdk::HRESULT hr) {
    context.err << "qmctl: " << what << " failed: " << resultText(hr);
    if (const std::string meaning = meaningOf(hr); !meaning.empty())
        context.err << "; " << meaning;
    context.err << '\n';
    return exitCodeForFailure(hr);
}

}  // namespace detail

int runCommand(const Invocation& invocation, CommandContext& context) {
    switch (invocation.command) {
        case Command::Help:
            context.out << helpFor(invocation.helpTopic);
            return kExitOk;
        case Command::Watch: {
            int exitCode = kExitOk;
            const auto manager = detail::connectManager(context, exitCode);
            if (!manager)
                return exitCode;
            WatchOptions options;
            options.json = invocation.json;
            return runWatch(*manager, context.watchQueue, context.clock, options, context.out,
                            context.err);
        }
        case Command::SimPlug:
        case Command::SimUnplug:
        case Command::SimPlugForeign:
        case Command::SimUnplugForeign:
        case Command::SimFault:
        case Command::SimList:
            return detail::runSimCommand(invocation, context);
        case Command::ProfileList:
        case Command::ProfileShow:
        case Command::ProfileSave:
        case Command::ProfileApply:
        case Command::ProfileRename:
        case Command::ProfileRemove:
        case Command::ProfileExport:
        case Command::ProfileImport:
        case Command::ProfileAuto:
            return detail::runProfileCommand(invocation, context);
        default:
            return detail::runDeviceCommand(invocation, context);
    }
}

int reportUsageError(const ParseResult& parsed, std::ostream& err) {
    err << "qmctl: " << parsed.error << '\n';
    if (parsed.errorTopic.empty())
        err << "Try 'qmctl --help'.\n";
    else
        err << "Try 'qmctl help " << parsed.errorTopic << "'.\n";
    return kExitUsage;
}

}  // namespace qm::qmctl
