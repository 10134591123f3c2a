#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace qm::testing {
namespace {

using SteadyClock = std::chrono::steady_clock;

int remainingMs(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options) {
    if (argv.empty())
        throw std::runtime_error("ChildProcess: no program");
    int outFds[2] = {-1, -1};
    int errFds[2] = {-1, -1};
    const bool errPipe = !options.errFile && !options.errorsShown;
    if ((!options.outFile && pipe2(outFds, O_CLOEXEC) != 0) ||
        (errPipe && pipe2(errFds, O_CLOEXEC) != 0))
        throw std::runtime_error(std::string("ChildProcess: pipe: ") + std::strerror(errno));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (options.outFile)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.outFile->c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    else
        posix_spawn_file_actions_adddup2(&actions, outFds[1], STDOUT_FILENO);
    if (options.errFile)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, options.errFile->c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    else if (errPipe)
        posix_spawn_file_actions_adddup2(&actions, errFds[1], STDERR_FILENO);

    // The child starts with the default signal dispositions and an empty mask, whatever this
    // test process has set.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> args = argv;
    std::vector<std::string> environment = options.environment.value_or(std::vector<std::string>{});
    auto argPointers = pointersTo(args);
    auto envPointers = pointersTo(environment);
    const int error = posix_spawnp(&pid_, argPointers[0], &actions, &attributes, argPointers.data(),
                                   options.environment ? envPointers.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    for (int fd : {outFds[1], errFds[1]}) {
        if (fd >= 0)
            close(fd);
    }
    out_.fd = outFds[0];
    err_.fd = errFds[0];
    if (error != 0) {
        pid_ = -1;
        for (Pipe* pipe : {&out_, &err_}) {
            if (pipe->fd >= 0)
                close(pipe->fd);
            pipe->fd = -1;
        }
        throw std::runtime_error("ChildProcess: cannot start " + argv[0] + ": " +
                                 std::strerror(error));
    }
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Errors errors)
    : ChildProcess(argv, Options{std::nullopt, std::nullopt,
                                 errors == Errors::Discarded
                                     ? std::optional<std::filesystem::path>("/dev/null")
                                     : std::nullopt,
                                 errors == Errors::Shown}) {}

ChildProcess::~ChildProcess() {
    terminate();
    for (Pipe* pipe : {&out_, &err_}) {
        if (pipe->fd >= 0)
            close(pipe->fd);
    }
}

bool ChildProcess::fill(Pipe& pipe, SteadyClock::time_point deadline) {
    if (pipe.fd < 0)
        return false;
    pollfd pfd{pipe.fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&pfd, 1, remainingMs(deadline));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return true;  // nothing in time; the stream goes on
    char chunk[4096];
    ssize_t got = 0;
    do {
        got = read(pipe.fd, chunk, sizeof chunk);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        close(pipe.fd);
        pipe.fd = -1;
        return false;
    }
    pipe.buffered.append(chunk, static_cast<std::size_t>(got));
    return true;
}

std::optional<std::string> ChildProcess::readLine(Stream stream,
                                                  std::chrono::milliseconds timeout) {
    Pipe& pipe = pipeOf(stream);
    const auto deadline = SteadyClock::now() + timeout;
    for (;;) {
        if (const auto newline = pipe.buffered.find('\n'); newline != std::string::npos) {
            std::string line = pipe.buffered.substr(0, newline);
            pipe.buffered.erase(0, newline + 1);
            return line;
        }
        if (!fill(pipe, deadline) || SteadyClock::now() >= deadline) {
            if (pipe.buffered.find('\n') == std::string::npos)
                return std::nullopt;
        }
    }
}

void ChildProcess::signal(int signal) const {
    if (pid_ > 0)
        ::kill(pid_, signal);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (status_)
        return status_;
    if (pid_ <= 0)
        return std::nullopt;
    // A pidfd becomes readable when the process ends: the wait needs no polling loop.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (pidfd < 0)
        return std::nullopt;
    pollfd pfd{pidfd, POLLIN, 0};
    const auto deadline = SteadyClock::now() + timeout;
    int ready = 0;
    do {
        ready = poll(&pfd, 1, remainingMs(deadline));
    } while (ready < 0 && errno == EINTR);
    close(pidfd);
    if (ready <= 0)
        return std::nullopt;
    int status = 0;
    pid_t reaped = 0;
    do {
        reaped = waitpid(pid_, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
}

void ChildProcess::terminate(std::chrono::milliseconds grace) {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    if (!waitForExit(grace))
        kill();
}

void ChildProcess::kill() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    status_ = 128 + SIGKILL;
    pid_ = -1;
}

void ChildProcess::drainBoth(std::chrono::milliseconds timeout, std::string& out,
                             std::string& err) {
    const auto deadline = SteadyClock::now() + timeout;
    while ((out_.fd >= 0 || err_.fd >= 0) && SteadyClock::now() < deadline) {
        pollfd fds[2];
        Pipe* pipes[2];
        nfds_t count = 0;
        for (Pipe* pipe : {&out_, &err_}) {
            if (pipe->fd >= 0) {
                fds[count] = {pipe->fd, POLLIN, 0};
                pipes[count++] = pipe;
            }
        }
        const int ready = poll(fds, count, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents != 0)
                fill(*pipes[i], SteadyClock::now());
        }
    }
    out = std::move(out_.buffered);
    err = std::move(err_.buffered);
    out_.buffered.clear();
    err_.buffered.clear();
}

Completed runToCompletion(const std::vector<std::string>& argv,
                          const std::vector<std::string>& environment,
                          std::chrono::milliseconds timeout) {
    ChildProcess process(argv, ChildProcess::Options{environment, std::nullopt, std::nullopt});
    const auto deadline = SteadyClock::now() + timeout;
    Completed completed;
    process.drainBoth(timeout, completed.out, completed.err);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    completed.exitCode =
        process.waitForExit(std::max(left, std::chrono::milliseconds(1))).value_or(-1);
    return completed;
}

std::vector<std::string> cleanEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (name.starts_with("QM_") || name == "NOTIFY_SOCKET" ||
            name == "DBUS_SESSION_BUS_ADDRESS" || name == "DBUS_SYSTEM_BUS_ADDRESS")
            continue;
        environment.push_back(text);
    }
    environment.insert(environment.end(), extra.begin(), extra.end());
    return environment;
}

}  // namespace qm::testing
