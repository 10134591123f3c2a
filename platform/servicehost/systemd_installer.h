#pragma once

#include <filesystem>
#include <vector>

#include "platform/servicehost/command_runner.h"
#include "platform/servicehost/install_layout.h"
#include "platform/servicehost/service_definition.h"
#include "platform/servicehost/service_installer.h"

namespace qm::servicehost {

// Installs a service for systemd: writes the unit (and, for a local install, its link to start
// at boot), the D-Bus policy and activation files, the udev rule, the sysusers and tmpfiles
// entries of the service's user, group and folders, and the polkit rule under the layout's root
// (see install_layout.h).
//
// Only when the root is "/" does it tell the running system: after creating, it runs
// systemd-sysusers and "systemd-tmpfiles --create" on the new entries, "systemctl daemon-reload",
// "udevadm control --reload" and "udevadm trigger" for the hidraw nodes already there; before
// deleting, "systemctl stop --no-block <unit>"; after deleting, the two reloads again. These are
// best effort: a missing program or a failure changes no result. Under any other root no program
// is ever run.
class SystemdInstaller final : public ServiceInstaller {
  public:
    SystemdInstaller(std::filesystem::path root, ServiceDefinition definition,
                     CommandRunner& commands,
                     InstallLayout::Kind kind = InstallLayout::Kind::Local);

    // The unit file is there, or, for a local install, the unit a package shipped: then the
    // service exists already, and its files stay the package's.
    bool serviceExists() const override;
    // Writes every file; when one fails, removes those already written and returns the error.
    long createService() override;
    // Removes every file of this kind (those already missing count as removed); the first error
    // is returned, and the files that could be removed are gone. A package's files are never
    // touched by a local install's removal.
    long deleteService() override;

    const InstallLayout& layout() const { return layout_; }
    // Every path createService writes, the start-at-boot link (if any) last.
    std::vector<std::filesystem::path> installedPaths() const;

  private:
    void reloadSystem();

    InstallLayout layout_;
    ServiceDefinition definition_;
    CommandRunner& commands_;
};

}  // namespace qm::servicehost
