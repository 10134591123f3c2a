#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qm::testing {

// A program a test starts and ends itself: its standard output is a pipe the test reads line by
// line with a time-out; it is ended (SIGTERM, then SIGKILL) at the latest when the object goes.
class ChildProcess {
  public:
    enum class Errors { Shown, Discarded };

    // Starts argv[0] (looked up in PATH when it has no '/'); its standard error goes to the
    // test's unless discarded. Throws std::runtime_error when the program cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv, Errors errors = Errors::Shown);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // The next line of its output (without the newline), or nothing when none came in time or
    // the output ended.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);

    // Asks it to end (SIGTERM), waits up to `grace`, then kills it; reaps it.
    void terminate(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));
    // Kills it at once (SIGKILL) and reaps it, as a crash would end it.
    void kill();

    pid_t pid() const { return pid_; }
    bool running() const { return pid_ > 0; }

  private:
    bool waitForExit(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffered_;
};

}  // namespace qm::testing
