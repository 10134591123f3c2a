#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qm::servicehost {

// Where a service's files go, below a root folder: "/" for this machine, any other folder to
// stage the files (tests, package builds). The files name the programs by their paths on the
// target system, whatever the root.
//
// Two kinds, in separate places so that neither ever replaces or removes a file of the other:
//
//   Local (an administrator's install)                  Package (shipped by a Debian package)
//   etc/systemd/system/<name>.service                   usr/lib/systemd/system/<name>.service
//   etc/systemd/system/multi-user.target.wants/...      (enabled by the package's scripts)
//   etc/dbus-1/system.d/<bus name>.conf                 usr/share/dbus-1/system.d/<bus name>.conf
//   usr/local/share/dbus-1/system-services/<bus>.service usr/share/dbus-1/system-services/...
//   etc/udev/rules.d/70-<name>.rules                    usr/lib/udev/rules.d/70-<name>.rules
//   etc/sysusers.d/<name>.conf                          usr/lib/sysusers.d/<name>.conf
//   etc/tmpfiles.d/<name>.conf                          usr/lib/tmpfiles.d/<name>.conf
//   etc/polkit-1/rules.d/50-<name>.rules                usr/share/polkit-1/rules.d/50-<name>.rules
//
// (unit, start-at-boot link, bus policy, bus activation, device node access, the service's user
// and group, its state and log folders, who may start and stop it.)
class InstallLayout {
  public:
    enum class Kind { Local, Package };

    // An empty root means "/".
    InstallLayout(std::filesystem::path root, std::string serviceName, std::string busName,
                  Kind kind = Kind::Local);

    const std::filesystem::path& root() const { return root_; }
    Kind kind() const { return kind_; }
    // True when the root is this machine's own root folder, so installing changes the system.
    bool isSystemRoot() const;

    std::string unitName() const { return serviceName_ + ".service"; }
    std::filesystem::path unitFile() const;
    // Only a local install links the unit to start at boot itself.
    std::optional<std::filesystem::path> wantsLink() const;
    std::filesystem::path dbusPolicyFile() const;
    std::filesystem::path dbusActivationFile() const;
    std::filesystem::path udevRuleFile() const;
    std::filesystem::path sysusersFile() const;
    std::filesystem::path tmpfilesFile() const;
    std::filesystem::path polkitRuleFile() const;

    // The same layout of the other kind.
    InstallLayout otherKind() const;

  private:
    std::filesystem::path under(const char* local, const char* package,
                                const std::string& file) const;

    std::filesystem::path root_;
    std::string serviceName_;
    std::string busName_;
    Kind kind_;
};

}  // namespace qm::servicehost
