#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace qm::testing {
namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Errors errors) {
    if (argv.empty()) {
        throw std::runtime_error("ChildProcess: no program given");
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("ChildProcess: pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (errors == Errors::Discarded) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    const int error = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (error != 0) {
        close(fds[0]);
        pid_ = -1;
        throw std::runtime_error("ChildProcess: cannot start " + argv[0] + ": " +
                                 std::strerror(error));
    }
    output_ = fds[0];
}

ChildProcess::~ChildProcess() {
    terminate();
    if (output_ >= 0) {
        close(output_);
    }
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto newline = buffered_.find('\n');
        if (newline != std::string::npos) {
            std::string line = buffered_.substr(0, newline);
            buffered_.erase(0, newline + 1);
            return line;
        }
        if (output_ < 0) {
            return std::nullopt;
        }
        pollfd pfd{output_, POLLIN, 0};
        const int ready = poll(&pfd, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        char chunk[256];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            close(output_);
            output_ = -1;
            continue;
        }
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

void ChildProcess::terminate(std::chrono::milliseconds grace) {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (!waitForExit(grace)) {
        kill();
    }
}

void ChildProcess::kill() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

bool ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    // A pidfd becomes readable when the process ends: no polling loop with sleeps.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (pidfd >= 0) {
        pollfd pfd{pidfd, POLLIN, 0};
        const auto deadline = Clock::now() + timeout;
        int ready = 0;
        do {
            ready = poll(&pfd, 1, remainingMs(deadline));
        } while (ready < 0 && errno == EINTR);
        close(pidfd);
        if (ready <= 0) {
            return false;
        }
    }
    int status = 0;
    const int flags = pidfd >= 0 ? 0 : WNOHANG;
    pid_t reaped = 0;
    do {
        reaped = waitpid(pid_, &status, flags);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == pid_) {
        pid_ = -1;
        return true;
    }
    return false;
}

}  // namespace qm::testing
