#pragma once

#include "support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/servicehost/command_runner.h"
#include "platform/servicehost/service_definition.h"

namespace qm::servicehost::testing {

using TempFolder = qm::testing::TempFolder;

// The service the tests install.
inline ServiceDefinition testDefinition(const std::string& executable = "/usr/bin/qmMicHost") {
    return {"qmMicHost",
            "QUILLMERE\u00AE microphone manager",
            executable,
            {"-Service"},
            "com.quillmere.qmMicHost",
            "quillmere",
            "qmmichost"};
}

// The files a local install writes, relative to its root.
inline const std::set<std::string> kLocalInstallFiles = {
    "etc/systemd/system/qmMicHost.service",
    "etc/systemd/system/multi-user.target.wants/qmMicHost.service",
    "etc/dbus-1/system.d/com.quillmere.qmMicHost.conf",
    "usr/local/share/dbus-1/system-services/com.quillmere.qmMicHost.service",
    "etc/udev/rules.d/70-qmMicHost.rules",
    "etc/sysusers.d/qmMicHost.conf",
    "etc/tmpfiles.d/qmMicHost.conf",
    "etc/polkit-1/rules.d/50-qmMicHost.rules",
};

// Records the commands it is asked to run and runs none of them.
class RecordingCommandRunner final : public CommandRunner {
  public:
    int run(const std::vector<std::string>& argv) override {
        std::lock_guard guard(mutex_);
        commands_.push_back(argv);
        return 0;
    }
    std::vector<std::vector<std::string>> commands() const {
        std::lock_guard guard(mutex_);
        return commands_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::vector<std::string>> commands_;
};

// Every file and link below `root` (folders left out), as paths relative to it.
inline std::set<std::string> filesBelow(const std::filesystem::path& root) {
    std::set<std::string> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_directory() || it->is_symlink()) {
            files.insert(it->path().lexically_relative(root).string());
        }
    }
    return files;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return text;
}

}  // namespace qm::servicehost::testing
