#pragma once

#include <filesystem>
#include <string>

namespace qm::servicehost {

// Where installing a service puts its files, below a root folder: "/" for this machine, any other
// folder to stage the files (tests, package builds). The files name the programs by their paths
// on the target system, whatever the root.
//
//   etc/systemd/system/<name>.service                              the unit
//   etc/systemd/system/multi-user.target.wants/<name>.service      start at boot (a link)
//   usr/share/dbus-1/system.d/<bus name>.conf                      who may own and call the name
//   usr/share/dbus-1/system-services/<bus name>.service            bus activation
//   etc/udev/rules.d/70-<name>.rules                               device node access
//   etc/sysusers.d/<name>.conf                                     the managing group
class InstallLayout {
  public:
    // An empty root means "/".
    InstallLayout(std::filesystem::path root, std::string serviceName, std::string busName);

    const std::filesystem::path& root() const { return root_; }
    // True when the root is this machine's own root folder, so installing changes the system.
    bool isSystemRoot() const;

    std::string unitName() const { return serviceName_ + ".service"; }
    std::filesystem::path unitFile() const;
    std::filesystem::path wantsLink() const;
    std::filesystem::path dbusPolicyFile() const;
    std::filesystem::path dbusActivationFile() const;
    std::filesystem::path udevRuleFile() const;
    std::filesystem::path sysusersFile() const;

  private:
    std::filesystem::path under(const char* folder, const std::string& file) const;

    std::filesystem::path root_;
    std::string serviceName_;
    std::string busName_;
};

}  // namespace qm::servicehost
