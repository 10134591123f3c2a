#include "common/ipc/shared_loop.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <optional>

#include "common/ipc/bus_connection.h"

namespace qm::ipc {
namespace {

// The shared loop whose connection this thread processes now.
thread_local const SharedLoop* tlProcessing = nullptr;

class ProcessingMark {
  public:
    explicit ProcessingMark(const SharedLoop* loop) : previous_(tlProcessing) {
        tlProcessing = loop;
    }
    ProcessingMark(const ProcessingMark&) = delete;
    ProcessingMark& operator=(const ProcessingMark&) = delete;
    ~ProcessingMark() { tlProcessing = previous_; }

  private:
    const SharedLoop* previous_;
};

constexpr std::uint64_t kNoTimeout = std::numeric_limits<std::uint64_t>::max();

}  // namespace

// A call's reply, filled on whichever thread processes the connection when it arrives.
struct SharedLoop::Pending {
    std::atomic<bool> done{false};
    sdbus::MethodReply reply;
    std::optional<sdbus::Error> error;
};

SharedLoop::SharedLoop(sdbus::IConnection& connection)
    : connection_(connection), busFd_(connection.getEventLoopPollData().fd) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = wakeFd_;
    epoll_event bus{};
    bus.data.fd = busFd_;
    if (wakeFd_ < 0 || epollFd_ < 0 || epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wake) < 0 ||
        epoll_ctl(epollFd_, EPOLL_CTL_ADD, busFd_, &bus) < 0) {
        const int error = errno;
        if (wakeFd_ >= 0) {
            close(wakeFd_);
        }
        if (epollFd_ >= 0) {
            close(epollFd_);
        }
        throw BusError(std::string("cannot set up the connection's loop: ") + std::strerror(error));
    }
    watched_ = 0;
}

SharedLoop::~SharedLoop() {
    requestStop();
    join();
    close(epollFd_);
    close(wakeFd_);
}

void SharedLoop::start() {
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { run(); });
    }
}

void SharedLoop::requestStop() {
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wakeLoop();
}

void SharedLoop::join() {
    if (thread_.joinable() && loopThread_.load() != std::this_thread::get_id()) {
        thread_.join();
    }
}

void SharedLoop::wakeLoop() const {
    const std::uint64_t one = 1;
    // Writing to an eventfd fails only when its counter would overflow: it is awake then anyway.
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
}

void SharedLoop::watch(short events) {
    if (events == watched_) {
        return;
    }
    epoll_event bus{};
    bus.events = static_cast<std::uint32_t>(events);
    bus.data.fd = busFd_;
    if (epoll_ctl(epollFd_, EPOLL_CTL_MOD, busFd_, &bus) == 0) {
        watched_ = events;
    }
}

void SharedLoop::run() {
    const ProcessingMark mark(this);
    loopThread_ = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        int timeout = -1;
        if (activeCallers_ == 0) {
            processing_ = true;
            lock.unlock();
            sdbus::IConnection::PollData data{};
            bool ok = true;
            try {
                while (activeCallers_ == 0 && connection_.processPendingRequest()) {
                }
                data = connection_.getEventLoopPollData();
            } catch (const std::exception&) {
                ok = false;
            }
            lock.lock();
            processing_ = false;
            if (!ok) {
                failed_ = true;
                break;
            }
            if (activeCallers_ > 0) {
                callerMayRun_.notify_all();
                continue;
            }
            watch(data.events);
            timeout = data.getPollTimeout();
        }
        lock.unlock();
        epoll_event events[2];
        const int count = epoll_wait(epollFd_, events, 2, timeout);
        if (count < 0 && errno != EINTR) {
            failed_ = true;
            lock.lock();
            break;
        }
        for (int i = 0; i < count; ++i) {
            if (events[i].data.fd == wakeFd_) {
                std::uint64_t value = 0;
                [[maybe_unused]] const auto read = ::read(wakeFd_, &value, sizeof value);
            }
        }
        lock.lock();
    }
    loopThread_ = std::thread::id{};
    // Callers may be waiting for the loop thread to hand over the connection.
    callerMayRun_.notify_all();
}

void SharedLoop::callerEnters() {
    std::lock_guard guard(mutex_);
    if (activeCallers_++ == 0) {
        // The reply wakes the caller only: the loop thread stops watching the connection.
        watch(0);
    }
}

void SharedLoop::callerLeaves() {
    {
        std::lock_guard guard(mutex_);
        if (--activeCallers_ > 0) {
            return;
        }
    }
    // Not under the lock: sd-bus holds its own lock while it runs handlers that take ours.
    std::optional<sdbus::IConnection::PollData> data;
    try {
        data = connection_.getEventLoopPollData();
    } catch (const std::exception&) {
        // The connection failed: wake the loop thread, it finds out.
    }
    std::lock_guard guard(mutex_);
    if (activeCallers_ > 0 || stopping_) {
        return;
    }
    if (!data) {
        wakeLoop();
        return;
    }
    // Messages already read, or a time-out to keep, need the loop thread now; data still in
    // the socket wakes it as soon as it watches the connection again.
    watch(data->events);
    if (data->timeout_usec != kNoTimeout) {
        wakeLoop();
    }
}

void SharedLoop::processUntil(const Pending& pending) {
    std::unique_lock lock(mutex_);
    while (!pending.done) {
        if (processing_) {
            callerMayRun_.wait(lock);
            continue;
        }
        processing_ = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            const ProcessingMark mark(this);
            while (!pending.done) {
                if (connection_.processPendingRequest() || pending.done) {
                    continue;
                }
                const auto data = connection_.getEventLoopPollData();
                pollfd fd{data.fd, data.events, 0};
                if (poll(&fd, 1, data.getPollTimeout()) < 0 && errno != EINTR) {
                    throw sdbus::Error("org.freedesktop.DBus.Error.Disconnected",
                                       "cannot wait on the bus");
                }
            }
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        processing_ = false;
        callerMayRun_.notify_all();
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

sdbus::MethodReply SharedLoop::call(sdbus::IProxy& proxy, const sdbus::MethodCall& message,
                                    std::chrono::microseconds timeout) {
    const auto usec = static_cast<std::uint64_t>(timeout.count());
    if (processesHere()) {
        // Inside a handler on this connection: nobody else reads it now.
        return proxy.callMethod(message, usec);
    }
    callerEnters();
    const std::unique_ptr<SharedLoop, void (*)(SharedLoop*)> leave(
        this, [](SharedLoop* loop) { loop->callerLeaves(); });
    auto pending = std::make_shared<Pending>();
    proxy.callMethod(
        message,
        [this, pending](sdbus::MethodReply& reply, const sdbus::Error* error) {
            {
                std::lock_guard guard(mutex_);
                if (error != nullptr) {
                    pending->error = *error;
                } else {
                    pending->reply = reply;
                }
                pending->done = true;
            }
            callerMayRun_.notify_all();
        },
        usec);
    processUntil(*pending);
    if (pending->error) {
        throw *pending->error;
    }
    return pending->reply;
}

bool SharedLoop::processesHere() const {
    return tlProcessing == this;
}

bool SharedLoop::processesAny() {
    return tlProcessing != nullptr;
}

}  // namespace qm::ipc
