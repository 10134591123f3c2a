#include "platform/servicehost/install_layout.h"

#include <system_error>

namespace qm::servicehost {

InstallLayout::InstallLayout(std::filesystem::path root, std::string serviceName,
                             std::string busName, Kind kind)
    : root_(root.empty() ? std::filesystem::path("/") : std::move(root)),
      serviceName_(std::move(serviceName)),
      busName_(std::move(busName)),
      kind_(kind) {}

bool InstallLayout::isSystemRoot() const {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(root_, error);
    if (error) {
        resolved = root_.lexically_normal();
    }
    return resolved == std::filesystem::path("/");
}

std::filesystem::path InstallLayout::under(const char* local, const char* package,
                                           const std::string& file) const {
    return root_ / std::filesystem::path(kind_ == Kind::Local ? local : package) / file;
}

std::filesystem::path InstallLayout::unitFile() const {
    return under("etc/systemd/system", "usr/lib/systemd/system", unitName());
}

std::optional<std::filesystem::path> InstallLayout::wantsLink() const {
    if (kind_ != Kind::Local) {
        return std::nullopt;
    }
    return root_ / "etc/systemd/system/multi-user.target.wants" / unitName();
}

std::filesystem::path InstallLayout::dbusPolicyFile() const {
    return under("etc/dbus-1/system.d", "usr/share/dbus-1/system.d", busName_ + ".conf");
}

std::filesystem::path InstallLayout::dbusActivationFile() const {
    return under("usr/local/share/dbus-1/system-services", "usr/share/dbus-1/system-services",
                 busName_ + ".service");
}

std::filesystem::path InstallLayout::udevRuleFile() const {
    return under("etc/udev/rules.d", "usr/lib/udev/rules.d", "70-" + serviceName_ + ".rules");
}

std::filesystem::path InstallLayout::sysusersFile() const {
    return under("etc/sysusers.d", "usr/lib/sysusers.d", serviceName_ + ".conf");
}

std::filesystem::path InstallLayout::tmpfilesFile() const {
    return under("etc/tmpfiles.d", "usr/lib/tmpfiles.d", serviceName_ + ".conf");
}

std::filesystem::path InstallLayout::polkitRuleFile() const {
    return under("etc/polkit-1/rules.d", "usr/share/polkit-1/rules.d",
                 "50-" + serviceName_ + ".rules");
}

InstallLayout InstallLayout::otherKind() const {
    return {root_, serviceName_, busName_, kind_ == Kind::Local ? Kind::Package : Kind::Local};
}

}  // namespace qm::servicehost
