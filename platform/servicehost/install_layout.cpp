#include "platform/servicehost/install_layout.h"

#include <system_error>

namespace qm::servicehost {

InstallLayout::InstallLayout(std::filesystem::path root, std::string serviceName,
                             std::string busName)
    : root_(root.empty() ? std::filesystem::path("/") : std::move(root)),
      serviceName_(std::move(serviceName)),
      busName_(std::move(busName)) {}

bool InstallLayout::isSystemRoot() const {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(root_, error);
    if (error) {
        resolved = root_.lexically_normal();
    }
    return resolved == std::filesystem::path("/");
}

std::filesystem::path InstallLayout::under(const char* folder, const std::string& file) const {
    return root_ / std::filesystem::path(folder) / file;
}

std::filesystem::path InstallLayout::unitFile() const {
    return under("etc/systemd/system", unitName());
}

std::filesystem::path InstallLayout::wantsLink() const {
    return under("etc/systemd/system/multi-user.target.wants", unitName());
}

std::filesystem::path InstallLayout::dbusPolicyFile() const {
    return under("usr/share/dbus-1/system.d", busName_ + ".conf");
}

std::filesystem::path InstallLayout::dbusActivationFile() const {
    return under("usr/share/dbus-1/system-services", busName_ + ".service");
}

std::filesystem::path InstallLayout::udevRuleFile() const {
    return under("etc/udev/rules.d", "70-" + serviceName_ + ".rules");
}

std::filesystem::path InstallLayout::sysusersFile() const {
    return under("etc/sysusers.d", serviceName_ + ".conf");
}

}  // namespace qm::servicehost
