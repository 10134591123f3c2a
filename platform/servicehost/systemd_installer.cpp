#include "platform/servicehost/systemd_installer.h"

#include <sys/stat.h>

#include "platform/servicehost/file_errors.h"
#include "platform/servicehost/service_files.h"

namespace qm::servicehost {
namespace {

bool present(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

SystemdInstaller::SystemdInstaller(std::filesystem::path root, ServiceDefinition definition,
                                   CommandRunner& commands, InstallLayout::Kind kind)
    : layout_(std::move(root), definition.name, definition.busName, kind),
      definition_(std::move(definition)),
      commands_(commands) {}

bool SystemdInstaller::serviceExists() const {
    if (present(layout_.unitFile())) {
        return true;
    }
    return layout_.kind() == InstallLayout::Kind::Local && present(layout_.otherKind().unitFile());
}

std::vector<std::filesystem::path> SystemdInstaller::installedPaths() const {
    std::vector<std::filesystem::path> paths = {
        layout_.unitFile(),      layout_.dbusPolicyFile(), layout_.dbusActivationFile(),
        layout_.udevRuleFile(),  layout_.sysusersFile(),   layout_.tmpfilesFile(),
        layout_.polkitRuleFile()};
    if (const auto link = layout_.wantsLink()) {
        paths.push_back(*link);
    }
    return paths;
}

long SystemdInstaller::createService() {
    std::vector<RenderedFile> files;
    long status = renderServiceFiles(definition_, layout_, files);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::vector<std::filesystem::path> written;
    for (const RenderedFile& file : files) {
        status = writeFileReplacing(file.path, file.text);
        if (status != ERROR_SUCCESS) {
            break;
        }
        written.push_back(file.path);
    }
    if (const auto link = layout_.wantsLink(); link && status == ERROR_SUCCESS) {
        // Relative, so the link is right under any root.
        status = writeSymlink(*link, std::filesystem::path("..") / layout_.unitName());
    }
    if (status != ERROR_SUCCESS) {
        for (const std::filesystem::path& path : written) {
            removeFile(path);
        }
        return status;
    }
    if (layout_.isSystemRoot()) {
        // The user first: the folders and the device nodes are given to it.
        commands_.run({"systemd-sysusers", layout_.sysusersFile().string()});
        commands_.run({"systemd-tmpfiles", "--create", layout_.tmpfilesFile().string()});
        reloadSystem();
        commands_.run({"udevadm", "trigger", "--subsystem-match=hidraw", "--action=change"});
    }
    return ERROR_SUCCESS;
}

long SystemdInstaller::deleteService() {
    if (layout_.isSystemRoot()) {
        commands_.run({"systemctl", "stop", "--no-block", layout_.unitName()});
    }
    long first = ERROR_SUCCESS;
    for (const std::filesystem::path& path : installedPaths()) {
        const long status = removeFile(path);
        if (first == ERROR_SUCCESS) {
            first = status;
        }
    }
    if (layout_.isSystemRoot()) {
        reloadSystem();
    }
    return first;
}

void SystemdInstaller::reloadSystem() {
    commands_.run({"systemctl", "daemon-reload"});
    commands_.run({"udevadm", "control", "--reload"});
}

}  // namespace qm::servicehost
