// The commands on the service's microphones and its log folder.
#include <algorithm>
#include <filesystem>

#include "common/settings/models.h"
#include "common/settings/setting_table.h"
#include "common/text/text.h"
#include "tools/qmctl/command_support.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/microphones.h"
#include "tools/qmctl/report_format.h"
#include "tools/qmctl/result_text.h"
#include "tools/qmctl/setting_change.h"

namespace qm::qmctl::detail {
namespace {

int listMicrophones(const Invocation& invocation, CommandContext& context,
                    sdk::IQuillmereSDK& manager) {
    std::vector<MicrophoneSummary> summaries;
    if (const sdk::HRESULT hr = summarizeAll(manager, summaries); sdk::FAILED(hr))
        return reportFailure(context, "reading the list of microphones", hr);
    const auto groups = groupByModel(summaries);
    context.out << (invocation.json ? listJson(groups) : listText(groups));
    return kExitOk;
}

int showMicrophone(const Invocation& invocation, CommandContext& context, sdk::IQMDevice& device) {
    MicrophoneDetails details;
    std::string xmlError;
    const sdk::HRESULT hr = describeMicrophone(device, details, xmlError);
    if (!xmlError.empty()) {
        context.err << "qmctl: the service's description of " << invocation.arguments[0]
                    << " can't be read: " << xmlError << '\n';
        return kExitCallFailed;
    }
    if (sdk::FAILED(hr))
        return reportFailure(context, "asking " + invocation.arguments[0], hr);
    context.out << (invocation.json ? showJson(details) : showText(details));
    return kExitOk;
}

// A setting the model does not have still goes to the microphone (the service passes every
// byte on), but the user hears about it first.
void warnIfModelLacks(CommandContext& context, sdk::IQMDevice& device, settings::Setting setting) {
    std::string product;
    if (sdk::FAILED(device.GetName(product)))
        return;
    const settings::Model model = settings::modelFromProductName(product);
    if (settings::hasSetting(model, setting, settings::Place::DeviceRead))
        return;
    context.err << "qmctl: warning: a microphone of model \"" << printable(product) << "\" has no "
                << settings::settingInfo(setting).registryName << "; the value is sent anyway\n";
}

int setSetting(const Invocation& invocation, CommandContext& context, sdk::IQMDevice& device) {
    const std::string& serial = invocation.arguments[0];
    const std::string_view name = settings::settingInfo(invocation.setting).registryName;
    warnIfModelLacks(context, device, invocation.setting);
    const ChangeOutcome outcome = changeLikeThePanels(device, invocation.setting, invocation.value);
    context.out << (invocation.json ? changeJson(serial, name, outcome)
                                    : changeText(serial, outcome));
    const int exitCode = exitCodeOf(outcome);
    if (exitCode == kExitOk)
        return exitCode;
    if (sdk::FAILED(outcome.changeResult))
        return reportFailure(context, outcome.call.text(), outcome.changeResult);
    if (exitCode == kExitChangeRefused) {
        context.err << "qmctl: the microphone did not acknowledge " << outcome.call.text()
                    << (outcome.resetResult ? "; its status was reset" : "") << '\n';
        return exitCode;
    }
    return reportFailure(context, "GetLastStatus", *outcome.lastStatus);
}

int resetMicrophone(const Invocation& invocation, CommandContext& context, sdk::IQMDevice& device) {
    const sdk::HRESULT hr = device.ResetDefault();
    if (sdk::FAILED(hr))
        return reportFailure(context, "ResetDefault", hr);
    context.out << printable(invocation.arguments[0])
                << ": restoring its defaults; the service reads its settings again\n";
    return kExitOk;
}

int renameMicrophone(const Invocation& invocation, CommandContext& context,
                     sdk::IQMDevice& device) {
    const std::string serial = printable(invocation.arguments[0]);
    if (invocation.friendlyName) {
        const sdk::HRESULT hr = device.SetFriendlyName(*invocation.friendlyName);
        if (sdk::FAILED(hr))
            return reportFailure(context, "SetFriendlyName", hr);
        context.out << serial << ": friendly name \"" << printable(*invocation.friendlyName)
                    << "\"\n";
    }
    if (invocation.description) {
        const sdk::HRESULT hr = device.SetDescription(*invocation.description);
        if (sdk::FAILED(hr))
            return reportFailure(context, "SetDescription", hr);
        context.out << serial << ": description \"" << printable(*invocation.description) << "\"\n";
    }
    return kExitOk;
}

int removeMicrophone(const Invocation& invocation, CommandContext& context,
                     sdk::IQuillmereSDK& manager) {
    const std::string& serial = invocation.arguments[0];
    const sdk::HRESULT hr = manager.RemoveDeviceBySN(serial);
    if (hr == sdk::E_POINTER) {
        context.err << "qmctl: no microphone with serial number \"" << serial
                    << "\" is known to the service\n";
        return kExitUnknownSerial;
    }
    if (sdk::FAILED(hr))
        return reportFailure(context, "RemoveDeviceBySN", hr);
    context.out << printable(serial) << ": removed from the service's list and cache\n";
    return kExitOk;
}

int removeInactive(CommandContext& context, sdk::IQuillmereSDK& manager) {
    std::vector<MicrophoneSummary> before;
    if (const sdk::HRESULT hr = summarizeAll(manager, before); sdk::FAILED(hr))
        return reportFailure(context, "reading the list of microphones", hr);
    if (const sdk::HRESULT hr = manager.RemoveAllInactive(); sdk::FAILED(hr))
        return reportFailure(context, "RemoveAllInactive", hr);
    std::vector<MicrophoneSummary> after;
    if (const sdk::HRESULT hr = summarizeAll(manager, after); sdk::FAILED(hr))
        return reportFailure(context, "reading the list of microphones", hr);
    std::vector<std::string> removed;
    for (const MicrophoneSummary& mic : before) {
        const bool stays = std::any_of(after.begin(), after.end(), [&](const auto& other) {
            return other.serial == mic.serial;
        });
        if (!stays)
            removed.push_back(printable(mic.serial));
    }
    if (removed.empty()) {
        context.out << "No microphone was inactive; none was removed.\n";
        return kExitOk;
    }
    context.out << "Removed " << removed.size()
                << (removed.size() == 1 ? " microphone:" : " microphones:");
    for (const std::string& serial : removed)
        context.out << ' ' << serial;
    context.out << '\n';
    return kExitOk;
}

int logFolder(const Invocation& invocation, CommandContext& context, sdk::IQuillmereSDK& manager) {
    if (invocation.arguments.empty()) {
        std::string folder;
        if (const sdk::HRESULT hr = manager.GetLogFolder(folder); sdk::FAILED(hr))
            return reportFailure(context, "GetLogFolder", hr);
        context.out << (invocation.json ? logFolderJson(folder) : printable(folder) + "\n");
        return kExitOk;
    }
    // The service runs elsewhere: a relative path means the user's current folder.
    std::error_code error;
    std::string folder = std::filesystem::absolute(invocation.arguments[0], error).string();
    if (error)
        folder = invocation.arguments[0];
    if (const sdk::HRESULT hr = manager.SetLogFolder(folder); sdk::FAILED(hr))
        return reportFailure(context, "SetLogFolder", hr);
    context.out << (invocation.json ? logFolderJson(folder)
                                    : "Log folder: " + printable(folder) + "\n");
    return kExitOk;
}

}  // namespace

int runDeviceCommand(const Invocation& invocation, CommandContext& context) {
    int exitCode = kExitOk;
    const auto manager = connectManager(context, exitCode);
    if (!manager)
        return exitCode;
    switch (invocation.command) {
        case Command::List:
            return listMicrophones(invocation, context, *manager);
        case Command::Remove:
            return removeMicrophone(invocation, context, *manager);
        case Command::RemoveInactive:
            return removeInactive(context, *manager);
        case Command::LogFolder:
            return logFolder(invocation, context, *manager);
        default:
            break;
    }
    const auto device = findMicrophone(context, *manager, invocation.arguments.at(0), exitCode);
    if (!device)
        return exitCode;
    switch (invocation.command) {
        case Command::Show:
            return showMicrophone(invocation, context, *device);
        case Command::Set:
            return setSetting(invocation, context, *device);
        case Command::Reset:
            return resetMicrophone(invocation, context, *device);
        case Command::Rename:
            return renameMicrophone(invocation, context, *device);
        default:
            context.err << "qmctl: " << commandName(invocation.command)
                        << " is not a microphone command\n";
            return kExitUsage;
    }
}

}  // namespace qm::qmctl::detail
