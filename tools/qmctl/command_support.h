#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tools/qmctl/commands.h"

// Helpers the commands share: reaching the service, finding a microphone, reporting a failed
// call. Each writes its own message to the context's error stream and sets the exit code.
namespace qm::qmctl::detail {

// The device manager, or null after a message (exit code 3).
std::shared_ptr<sdk::IQuillmereSDK> connectManager(CommandContext& context, int& exitCode);

// The microphone with that serial, or null after a message (exit code 4, or the failed call's).
std::shared_ptr<sdk::IQMDevice> findMicrophone(CommandContext& context, sdk::IQuillmereSDK& manager,
                                               std::string_view serial, int& exitCode);

// "qmctl: <what> failed: <result>[; <meaning>]" and the exit code for it.
int reportFailure(CommandContext& context, std::string_view what, sdk::HRESULT hr);

int runDeviceCommand(const Invocation& invocation, CommandContext& context);
int runSimCommand(const Invocation& invocation, CommandContext& context);
int runProfileCommand(const Invocation& invocation, CommandContext& context);

}  // namespace qm::qmctl::detail
