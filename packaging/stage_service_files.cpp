// Writes the service's files as the Debian package ships them (the Package kind of
// platform/servicehost/install_layout.h) under a staging folder, from the same templates and
// service definition that "qmMicHost -Install" uses:
//
//   qm_stage_service_files STAGING-ROOT EXECUTABLE
//
// EXECUTABLE is qmMicHost's path on the installed system (/usr/sbin/qmMicHost).
#include <filesystem>
#include <iostream>

#include "platform/servicehost/command_runner.h"
#include "platform/servicehost/systemd_installer.h"
#include "service/com/service_definition.h"

namespace {

// A staging root is never the running system, so there is nothing to tell it.
class NoCommands final : public qm::servicehost::CommandRunner {
  public:
    int run(const std::vector<std::string>& /*argv*/) override { return -1; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: qm_stage_service_files STAGING-ROOT EXECUTABLE\n";
        return 2;
    }
    using qm::servicehost::InstallLayout;
    using qm::servicehost::SystemdInstaller;
    NoCommands commands;
    SystemdInstaller installer(argv[1], qm::com::serviceDefinition(argv[2]), commands,
                               InstallLayout::Kind::Package);
    if (installer.layout().isSystemRoot()) {
        std::cerr << "qm_stage_service_files: the staging root must not be /\n";
        return 2;
    }
    const long status = installer.createService();
    if (status != 0) {
        std::cerr << "qm_stage_service_files: writing the files under " << argv[1]
                  << " failed with Win32 error " << status << '\n';
        return 1;
    }
    return 0;
}
