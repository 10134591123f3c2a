#include "tools/qmctl/signal_forwarder.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace qm::qmctl {

SignalForwarder::SignalForwarder(std::function<void(int)> onSignal)
    : onSignal_(std::move(onSignal)) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    if (const int error = pthread_sigmask(SIG_BLOCK, &signals, nullptr); error != 0)
        throw std::runtime_error(std::string("pthread_sigmask: ") + std::strerror(error));
    signalFd_ = signalfd(-1, &signals, SFD_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_CLOEXEC);
    if (signalFd_ < 0 || wakeFd_ < 0) {
        const int error = errno;
        if (signalFd_ >= 0)
            close(signalFd_);
        if (wakeFd_ >= 0)
            close(wakeFd_);
        throw std::runtime_error(std::string("signalfd/eventfd: ") + std::strerror(error));
    }
    thread_ = std::thread([this] { run(); });
}

SignalForwarder::~SignalForwarder() {
    const std::uint64_t one = 1;
    // An eventfd write of 8 bytes only fails when the counter would overflow: not here.
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
    thread_.join();
    close(signalFd_);
    close(wakeFd_);
}

void SignalForwarder::run() {
    pollfd fds[2] = {{signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        const int ready = poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if ((fds[1].revents & POLLIN) != 0)
            return;
        if ((fds[0].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            if (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
                onSignal_(static_cast<int>(info.ssi_signo));
        }
    }
}

}  // namespace qm::qmctl
