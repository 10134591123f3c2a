// qmMicHost: the microphone service. See service_module.h for what the command line does and
// process_exit.h for how the result leaves the process.
//
// Environment:
//   QM_INSTALL_ROOT   folder that -Install and -Uninstall write under instead of "/"
//   QM_REGISTRY_DIR   folder of the settings store's files (platform/registry/store_locations.h)
//   QM_DBUS_ADDRESS   the bus to serve on when --bus isn't given (runtime_options.h)

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "platform/registry/store.h"
#include "platform/servicehost/command_runner.h"
#include "platform/servicehost/systemd_installer.h"
#include "platform/servicehost/systemd_service_host.h"
#include "service/com/command_line.h"
#include "service/com/process_exit.h"
#include "service/com/server_runtime_factory.h"
#include "service/com/service_definition.h"
#include "service/com/service_identity.h"
#include "service/com/service_module.h"

namespace {

std::optional<std::string> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// The running program's full path; the path it was started by when the system won't say.
std::string executablePath(const char* argv0) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        path = std::filesystem::absolute(argv0 != nullptr ? argv0 : "qmMicHost", error);
    }
    return path.string();
}

int runProcess(int argc, char** argv) {
    using namespace qm;
    const std::string modulePath = executablePath(argc > 0 ? argv[0] : nullptr);
    std::string commandLine;
    try {
        commandLine = com::joinCommandLine(std::vector<std::string>(argv, argv + argc));
    } catch (const std::bad_alloc&) {
        return com::processExitCode(sdk::E_OUTOFMEMORY);
    }

    registry::Store store(registry::StoreLocations::fromEnvironment());
    servicehost::SystemdServiceHost host;
    servicehost::SystemCommandRunner commands;
    const std::string installRoot =
        environmentValue(com::kInstallRootEnvironmentVariable).value_or("/");
    servicehost::SystemdInstaller installer(installRoot, com::serviceDefinition(modulePath),
                                            commands);

    com::CServiceModule module(com::ModuleContext{store, host, installer, Clock::real(),
                                                  com::makeServerRuntimeFactory(), std::cerr,
                                                  modulePath, environmentValue});
    const sdk::HRESULT result = module.Start(commandLine);
    if (com::printsResult(result, module.IsSilent() || module.UsageShown())) {
        std::cerr << com::resultLine(result) << '\n';
    }
    return com::processExitCode(result);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return runProcess(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "qmMicHost: " << failure.what() << '\n';
        return qm::com::processExitCode(qm::sdk::E_UNEXPECTED);
    }
}
