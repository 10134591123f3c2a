#pragma once

#include <string>
#include <vector>

namespace qm::servicehost {

// Runs system programs (systemctl, udevadm, ...) on behalf of the installer.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;

    // Runs the program argv[0], found on PATH, with the given arguments and waits for it.
    // Returns its exit status, or -1 when it couldn't be started or didn't exit on its own.
    virtual int run(const std::vector<std::string>& argv) = 0;
};

// The real one: the program's input and output are /dev/null, so a missing service manager
// (a container without systemd) only gives an exit status.
class SystemCommandRunner final : public CommandRunner {
  public:
    int run(const std::vector<std::string>& argv) override;
};

}  // namespace qm::servicehost
