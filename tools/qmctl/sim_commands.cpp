// The sim commands: the virtual microphones of a service started with --simulate.
#include "common/ipc/ipc_result.h"
#include "tools/qmctl/command_support.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/report_format.h"
#include "tools/qmctl/result_text.h"

namespace qm::qmctl::detail {
namespace {

// A failed simulator call: a service without a simulator has no such object.
int reportSimulatorFailure(CommandContext& context, std::string_view call, sdk::HRESULT hr) {
    if (hr == ipc::kObjectDisconnected) {
        context.err << "qmctl: the service on the " << context.service.busDescription()
                    << " bus does not simulate microphones (start it with --simulate)\n";
        return kExitCallFailed;
    }
    if (hr == ipc::kServiceUnavailable) {
        context.err << "qmctl: the service is not running on the "
                    << context.service.busDescription() << " bus (" << resultText(hr) << ")\n";
        return kExitServiceUnavailable;
    }
    return reportFailure(context, call, hr);
}

int unknownVirtualMicrophone(CommandContext& context, std::string_view serial) {
    context.err << "qmctl: no virtual microphone with serial number \"" << serial << "\""
                << " is plugged in\n";
    return kExitUnknownSerial;
}

int run(const Invocation& invocation, CommandContext& context, ipc::SimulatorControl& simulator) {
    const std::vector<std::string>& args = invocation.arguments;
    switch (invocation.command) {
        case Command::SimPlug: {
            const sdk::HRESULT hr = simulator.Plug(args[0], args[1]);
            if (hr == sdk::S_FALSE) {
                context.out << printable(args[1]) << ": plugged in already\n";
                return kExitOk;
            }
            if (hr == sdk::E_INVALIDARG) {
                context.err << "qmctl: the simulator refused: \"" << args[1]
                            << "\" is a virtual microphone of another model\n";
                return kExitCallFailed;
            }
            if (sdk::FAILED(hr))
                return reportSimulatorFailure(context, "Plug", hr);
            context.out << printable(args[1]) << ": plugged in (" << printable(args[0]) << ")\n";
            return kExitOk;
        }
        case Command::SimUnplug: {
            const sdk::HRESULT hr = simulator.Unplug(args[0]);
            if (hr == sdk::E_INVALIDARG)
                return unknownVirtualMicrophone(context, args[0]);
            if (sdk::FAILED(hr))
                return reportSimulatorFailure(context, "Unplug", hr);
            context.out << printable(args[0]) << ": unplugged\n";
            return kExitOk;
        }
        case Command::SimPlugForeign: {
            std::string endpointId;
            const sdk::HRESULT hr = simulator.PlugForeign(args[0], endpointId);
            if (sdk::FAILED(hr))
                return reportSimulatorFailure(context, "PlugForeign", hr);
            context.out << (invocation.json ? endpointJson(endpointId)
                                            : printable(endpointId) + "\n");
            return kExitOk;
        }
        case Command::SimUnplugForeign: {
            const sdk::HRESULT hr = simulator.UnplugForeign(args[0]);
            if (sdk::FAILED(hr))
                return reportSimulatorFailure(context, "UnplugForeign", hr);
            context.out << printable(args[0]) << ": unplugged\n";
            return kExitOk;
        }
        case Command::SimFault: {
            const sdk::HRESULT hr =
                simulator.SetFault(args[0], args[1], invocation.faultCount, invocation.faultValue);
            if (hr == sdk::E_INVALIDARG) {
                context.err << "qmctl: no virtual microphone with serial number \"" << args[0]
                            << "\"\n";
                return kExitUnknownSerial;
            }
            if (sdk::FAILED(hr))
                return reportSimulatorFailure(context, "SetFault", hr);
            if (args[1] == "clear") {
                context.out << printable(args[0]) << ": faults cleared\n";
            } else {
                context.out << printable(args[0]) << ": " << args[1] << " (count "
                            << invocation.faultCount << ", value " << invocation.faultValue
                            << ")\n";
            }
            return kExitOk;
        }
        case Command::SimList: {
            std::vector<ipc::SimulatedMicrophoneState> microphones;
            const sdk::HRESULT hr = simulator.List(microphones);
            if (sdk::FAILED(hr))
                return reportSimulatorFailure(context, "List", hr);
            context.out << (invocation.json ? simListJson(microphones) : simListText(microphones));
            return kExitOk;
        }
        default:
            context.err << "qmctl: " << commandName(invocation.command)
                        << " is not a sim command\n";
            return kExitUsage;
    }
}

}  // namespace

int runSimCommand(const Invocation& invocation, CommandContext& context) {
    sdk::HRESULT hr = sdk::S_OK;
    const auto simulator = context.service.connectSimulator(hr);
    if (!simulator) {
        context.err << "qmctl: the " << context.service.busDescription()
                    << " bus can't be reached (" << resultText(hr) << ")\n";
        return kExitServiceUnavailable;
    }
    return run(invocation, context, *simulator);
}

}  // namespace qm::qmctl::detail
