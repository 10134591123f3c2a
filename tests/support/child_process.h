#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qm::testing {

// A program a test starts and ends itself. Its standard output and error are pipes the test
// reads line by line with time-outs (or files, for output that only matters when something
// fails); it can be sent any signal and waited for with a bound. A program still running when
// the object goes is asked to end (SIGTERM), then killed.
class ChildProcess {
  public:
    enum class Errors { Shown, Discarded };
    enum class Stream { Out, Err };

    struct Options {
        // "NAME=value" entries, the whole environment; unset: this process's environment.
        std::optional<std::vector<std::string>> environment;
        std::optional<std::filesystem::path> outFile;  // instead of a pipe
        std::optional<std::filesystem::path> errFile;  // instead of a pipe
        bool errorsShown = false;  // standard error goes to the test's own (no pipe, no file)
    };

    // Starts argv[0] (looked up in PATH when it has no '/') with this process's environment;
    // its standard error goes to the test's unless discarded.
    explicit ChildProcess(const std::vector<std::string>& argv, Errors errors = Errors::Shown);
    // Throws std::runtime_error when the program cannot be started.
    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    pid_t pid() const { return pid_; }
    bool running() const { return pid_ > 0; }

    // The next line of the stream (without its newline); nothing when none came in time or the
    // stream ended.
    std::optional<std::string> readLine(Stream stream, std::chrono::milliseconds timeout);
    std::optional<std::string> readLine(std::chrono::milliseconds timeout) {
        return readLine(Stream::Out, timeout);
    }

    // Reads both pipes at once (so that neither fills up and stops the program) until both
    // ended or the time-out passed, and hands over what they held.
    void drainBoth(std::chrono::milliseconds timeout, std::string& out, std::string& err);

    void signal(int signal) const;
    // The exit status once it ended within the time-out (128 + signal number when a signal
    // ended it); nothing while it still runs.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Asks it to end (SIGTERM), waits up to `grace`, then kills it; reaps it.
    void terminate(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));
    // Kills it at once (SIGKILL) and reaps it, as a crash would end it.
    void kill();

  private:
    struct Pipe {
        int fd = -1;
        std::string buffered;
    };
    Pipe& pipeOf(Stream stream) { return stream == Stream::Out ? out_ : err_; }
    // Reads what is there within the deadline into the buffer; false at the end of the stream.
    bool fill(Pipe& pipe, std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    Pipe out_;
    Pipe err_;
    std::optional<int> status_;
};

// A program run to its end: its exit status and everything it wrote.
struct Completed {
    int exitCode = -1;  // -1: it did not end in time (it was killed)
    std::string out;
    std::string err;
};

Completed runToCompletion(const std::vector<std::string>& argv,
                          const std::vector<std::string>& environment,
                          std::chrono::milliseconds timeout);

// This process's environment without the variables that would lead a child to the machine's
// buses, store or service manager, plus `extra` ("NAME=value").
std::vector<std::string> cleanEnvironment(const std::vector<std::string>& extra);

}  // namespace qm::testing
