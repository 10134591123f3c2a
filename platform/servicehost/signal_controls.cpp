#include "platform/servicehost/signal_controls.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qm::servicehost {
namespace {

// Written to the pipe to wake the control thread; no signal has the number 0.
constexpr unsigned char kWakeByte = 0;

std::atomic<int> gPipeWriteFd{-1};
std::atomic<bool> gActive{false};

extern "C" void onStopSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe drops the byte: the control thread has stop requests to read already.
    [[maybe_unused]] const ssize_t written = ::write(gPipeWriteFd.load(), &byte, 1);
    errno = savedErrno;
}

struct SignalPipe {
    int readFd = -1;
    int writeFd = -1;
};

// The process's signal pipe, made on first use: both ends non-blocking and closed on exec.
const SignalPipe& signalPipe() {
    static const SignalPipe pipe = [] {
        SignalPipe made;
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            made.readFd = fds[0];
            made.writeFd = fds[1];
            gPipeWriteFd.store(fds[1]);
        }
        return made;
    }();
    return pipe;
}

void drain(int readFd) {
    unsigned char buffer[64];
    while (::read(readFd, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

SignalControls::~SignalControls() {
    stop();
}

bool SignalControls::start(ControlSource source, ServiceHost::ControlHandler handler) {
    if (running() || !handler) {
        return false;
    }
    const SignalPipe& pipe = signalPipe();
    if (pipe.readFd < 0) {
        return false;
    }
    bool expected = false;
    if (!gActive.compare_exchange_strong(expected, true)) {
        return false;
    }
    drain(pipe.readFd);  // bytes of an earlier run are not requests to this one
    handler_ = std::move(handler);
    quit_.store(false);

    const int signals[2] = {SIGTERM, source == ControlSource::Application ? SIGINT : 0};
    sigset_t unblock;
    sigemptyset(&unblock);
    bool ok = true;
    for (std::size_t i = 0; i < installed_.size() && ok; ++i) {
        if (signals[i] == 0) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (::sigaction(signals[i], &action, &installed_[i].previous) != 0) {
            ok = false;
            break;
        }
        installed_[i].signal = signals[i];
        sigaddset(&unblock, signals[i]);
    }
    if (ok) {
        ok = ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr) == 0;
    }
    if (ok) {
        try {
            thread_ = std::thread([this, fd = pipe.readFd] { controlThread(fd); });
        } catch (const std::system_error&) {
            ok = false;
        }
    }
    if (!ok) {
        restoreHandlers();
        handler_ = nullptr;
        gActive.store(false);
    }
    return ok;
}

void SignalControls::stop() {
    if (!running()) {
        return;
    }
    restoreHandlers();
    quit_.store(true);
    // If the pipe is full the thread has bytes to read and sees quit_ after them.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe().writeFd, &kWakeByte, 1);
    thread_.join();
    handler_ = nullptr;
    gActive.store(false);
}

void SignalControls::restoreHandlers() {
    for (Installed& slot : installed_) {
        if (slot.signal != 0) {
            ::sigaction(slot.signal, &slot.previous, nullptr);
            slot.signal = 0;
        }
    }
}

void SignalControls::controlThread(int readFd) {
    while (!quit_.load()) {
        pollfd waitFor{readFd, POLLIN, 0};
        if (::poll(&waitFor, 1, -1) < 0) {
            if (errno == EINTR) {
                continue;  // a signal landed on this thread; its byte is in the pipe
            }
            return;  // the pipe can't be waited on: no control can arrive any more
        }
        unsigned char buffer[64];
        const ssize_t count = ::read(readFd, buffer, sizeof buffer);
        for (ssize_t i = 0; i < count; ++i) {
            if (buffer[i] != kWakeByte && !quit_.load()) {
                handler_(ServiceControl::Stop);
            }
        }
    }
}

}  // namespace qm::servicehost
