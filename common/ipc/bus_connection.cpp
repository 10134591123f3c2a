#include "common/ipc/bus_connection.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>

#include <sdbus-c++/sdbus-c++.h>
#include <systemd/sd-bus.h>

#include "common/ipc/loop_graveyard.h"
#include "common/ipc/shared_loop.h"

namespace qm::ipc {
namespace {

thread_local bool tlRunsLoop = false;

// Marks the current thread as a loop thread while it runs a loop.
class LoopThreadMark {
  public:
    LoopThreadMark() { tlRunsLoop = true; }
    LoopThreadMark(const LoopThreadMark&) = delete;
    LoopThreadMark& operator=(const LoopThreadMark&) = delete;
    ~LoopThreadMark() { tlRunsLoop = false; }
};

// Tries to connect to `address` with sd-bus itself. sdbus-c++ 1.2 loses its sd-bus object when
// a connection to an explicit address fails; asking first keeps failed attempts (a client
// retrying while the bus is not there) from leaking.
int probeAddress(const std::string& address) {
    sd_bus* bus = nullptr;
    int r = sd_bus_new(&bus);
    if (r < 0) {
        return r;
    }
    r = sd_bus_set_address(bus, address.c_str());
    if (r >= 0) {
        r = sd_bus_set_bus_client(bus, 1);
    }
    if (r >= 0) {
        r = sd_bus_start(bus);
    }
    sd_bus_close_unref(bus);
    return r;
}

std::unique_ptr<sdbus::IConnection> openNative(const BusAddress& address) {
    if (address.kind == BusAddress::Kind::Explicit) {
        const int r = probeAddress(address.address);
        if (r < 0) {
            throw BusError("cannot connect to the bus at " + address.address + ": " +
                           std::strerror(-r));
        }
    }
    try {
        switch (address.kind) {
            case BusAddress::Kind::System:
                return sdbus::createSystemBusConnection();
            case BusAddress::Kind::Session:
                return sdbus::createSessionBusConnection();
            case BusAddress::Kind::Explicit:
                return sdbus::createSessionBusConnectionWithAddress(address.address);
        }
    } catch (const sdbus::Error& e) {
        throw BusError("cannot connect to the " + address.describe() + " bus: " + e.getMessage());
    }
    throw BusError("unknown bus kind");
}

}  // namespace

struct BusConnection::State final : Reapable {
    std::unique_ptr<sdbus::IConnection> connection;
    std::thread thread;
    std::atomic<std::thread::id> loopThread{};
    std::atomic<bool> failed{false};
    std::unique_ptr<SharedLoop> shared;

    ~State() override {
        stop();
        if (thread.joinable()) {
            thread.join();
        }
        shared.reset();
    }

    void run() {
        const LoopThreadMark mark;
        loopThread = std::this_thread::get_id();
        try {
            connection->enterEventLoop();
        } catch (const std::exception&) {
            failed = true;
        }
        loopThread = std::thread::id{};
    }

    void stop() {
        if (shared) {
            shared->requestStop();
            return;
        }
        if (!connection) {
            return;
        }
        try {
            // The loop was entered by us, not by sdbus' own thread: this only wakes the loop.
            connection->leaveEventLoop();
        } catch (const std::exception&) {
            // The wake-up descriptor failed; the loop ends with the connection.
        }
    }
};

BusConnection::BusConnection(std::unique_ptr<State> state) : state_(std::move(state)) {}

std::unique_ptr<BusConnection> BusConnection::open(const BusAddress& address) {
    LoopGraveyard::instance().reap();
    auto state = std::make_unique<State>();
    state->connection = openNative(address);
    return std::unique_ptr<BusConnection>(new BusConnection(std::move(state)));
}

BusConnection::~BusConnection() {
    if (isLoopThread()) {
        state_->stop();
        LoopGraveyard::instance().adopt(std::move(state_));
        return;
    }
    state_.reset();
    LoopGraveyard::instance().reap();
}

sdbus::IConnection& BusConnection::native() {
    return *state_->connection;
}

std::string BusConnection::uniqueName() const {
    return state_->connection->getUniqueName();
}

void BusConnection::requestName(const std::string& name) {
    try {
        state_->connection->requestName(name);
    } catch (const sdbus::Error& e) {
        throw BusError("cannot own the bus name " + name + ": " + e.getMessage());
    }
}

void BusConnection::startEventLoop() {
    if (!state_->thread.joinable()) {
        State* state = state_.get();
        state_->thread = std::thread([state] { state->run(); });
    }
}

void BusConnection::startSharedEventLoop() {
    if (!state_->shared) {
        state_->shared = std::make_unique<SharedLoop>(*state_->connection);
    }
    state_->shared->start();
}

sdbus::MethodReply BusConnection::call(sdbus::IProxy& proxy, const sdbus::MethodCall& message,
                                       std::chrono::microseconds timeout) {
    if (state_->shared) {
        return state_->shared->call(proxy, message, timeout);
    }
    return proxy.callMethod(message, static_cast<std::uint64_t>(timeout.count()));
}

bool BusConnection::runEventLoop() {
    state_->run();
    return !state_->failed;
}

void BusConnection::stopEventLoop() {
    state_->stop();
    if (isLoopThread()) {
        return;
    }
    if (state_->shared) {
        state_->shared->join();
    }
    if (state_->thread.joinable()) {
        state_->thread.join();
    }
}

bool BusConnection::isLoopThread() const {
    return state_->loopThread.load() == std::this_thread::get_id() ||
           (state_->shared && state_->shared->processesHere());
}

bool BusConnection::loopFailed() const {
    return state_->failed || (state_->shared && state_->shared->failed());
}

bool onAnyLoopThread() {
    return tlRunsLoop || SharedLoop::processesAny();
}

}  // namespace qm::ipc
