#include "support/fake_systemd.h"

#include <sdbus-c++/sdbus-c++.h>

#include <optional>

namespace qm::testing {
namespace {

constexpr const char* kManagerInterface = "org.freedesktop.systemd1.Manager";
constexpr const char* kUnitInterface = "org.freedesktop.systemd1.Unit";
constexpr const char* kServiceInterface = "org.freedesktop.systemd1.Service";
constexpr const char* kUnitPath = "/org/freedesktop/systemd1/unit/qmMicHost_2eservice";

using JobReference = sdbus::Struct<std::uint32_t, sdbus::ObjectPath>;

}  // namespace

struct FakeSystemd::State {
    enum class Phase { Idle, Starting, Stopping };

    mutable std::mutex mutex;
    Unit unit;
    Phase phase = Phase::Idle;
    TimePoint since;
    std::string active;
    std::string sub;
    std::string result = "success";
    std::uint32_t jobId = 0;
    std::uint32_t jobCounter = 0;
    std::uint8_t invocation = 0;
    ActiveHandler handler;
    std::vector<std::string> calls;
};

FakeSystemd::FakeSystemd(const std::string& busAddress, Clock& clock, Unit unit)
    : clock_(clock), state_(std::make_unique<State>()) {
    state_->unit = std::move(unit);
    state_->active = state_->unit.active ? "active" : "inactive";
    state_->sub = state_->unit.active ? "running" : "dead";

    connection_ = sdbus::createSessionBusConnectionWithAddress(busAddress);
    connection_->requestName("org.freedesktop.systemd1");

    manager_ = sdbus::createObject(*connection_, "/org/freedesktop/systemd1");
    manager_->registerMethod("LoadUnit")
        .onInterface(kManagerInterface)
        .withInputParamNames("name")
        .withOutputParamNames("unit")
        .implementedAs([this](const std::string& name) {
            checkUnit(name);
            return sdbus::ObjectPath(kUnitPath);
        });
    for (const char* method : {"StartUnit", "StopUnit"}) {
        manager_->registerMethod(method)
            .onInterface(kManagerInterface)
            .withInputParamNames("name", "mode")
            .withOutputParamNames("job")
            .implementedAs([this, method](const std::string& name, const std::string& mode) {
                return sdbus::ObjectPath(queueJob(method, name, mode));
            });
    }
    manager_->finishRegistration();

    unit_ = sdbus::createObject(*connection_, kUnitPath);
    const auto text = [this](std::string State::*field) {
        return [this, field] {
            std::lock_guard guard(state_->mutex);
            evaluateLocked();
            return (*state_).*field;
        };
    };
    unit_->registerProperty("LoadState").onInterface(kUnitInterface).withGetter([this] {
        std::lock_guard guard(state_->mutex);
        return std::string(state_->unit.installed ? "loaded" : "not-found");
    });
    unit_->registerProperty("ActiveState")
        .onInterface(kUnitInterface)
        .withGetter(text(&State::active));
    unit_->registerProperty("SubState").onInterface(kUnitInterface).withGetter(text(&State::sub));
    unit_->registerProperty("Job").onInterface(kUnitInterface).withGetter([this] {
        std::lock_guard guard(state_->mutex);
        evaluateLocked();
        const std::uint32_t id = state_->jobId;
        return JobReference(
            id, sdbus::ObjectPath(id == 0 ? "/"
                                          : "/org/freedesktop/systemd1/job/" + std::to_string(id)));
    });
    unit_->registerProperty("InvocationID").onInterface(kUnitInterface).withGetter([this] {
        std::lock_guard guard(state_->mutex);
        return std::vector<std::uint8_t>(16, state_->invocation);
    });
    unit_->registerProperty("Result")
        .onInterface(kServiceInterface)
        .withGetter(text(&State::result));
    unit_->registerProperty("StatusText").onInterface(kServiceInterface).withGetter([] {
        return std::string();
    });
    unit_->registerProperty("TimeoutStartUSec").onInterface(kServiceInterface).withGetter([this] {
        std::lock_guard guard(state_->mutex);
        return state_->unit.timeoutStartUsec;
    });
    unit_->registerProperty("TimeoutStopUSec").onInterface(kServiceInterface).withGetter([this] {
        std::lock_guard guard(state_->mutex);
        return state_->unit.timeoutStopUsec;
    });
    unit_->finishRegistration();
    connection_->enterEventLoopAsync();
}

FakeSystemd::~FakeSystemd() {
    connection_->leaveEventLoop();
    unit_.reset();
    manager_.reset();
}

void FakeSystemd::onActiveChanged(ActiveHandler handler) {
    std::lock_guard guard(state_->mutex);
    state_->handler = std::move(handler);
}

void FakeSystemd::setStartFails(bool fails) {
    std::lock_guard guard(state_->mutex);
    state_->unit.startFails = fails;
}

std::vector<std::string> FakeSystemd::calls() const {
    std::lock_guard guard(state_->mutex);
    return state_->calls;
}

std::string FakeSystemd::activeState() const {
    std::lock_guard guard(state_->mutex);
    evaluateLocked();
    return state_->active;
}

void FakeSystemd::checkUnit(const std::string& unit) const {
    std::lock_guard guard(state_->mutex);
    if (unit != state_->unit.name) {
        throw sdbus::Error("org.freedesktop.systemd1.NoSuchUnit", "Unit " + unit + " not found.");
    }
}

// Moves a pending start or stop on to its end once its time has passed.
void FakeSystemd::evaluateLocked() const {
    State& s = *state_;
    if (s.phase == State::Phase::Idle) {
        return;
    }
    const bool starting = s.phase == State::Phase::Starting;
    if (clock_.now() - s.since < (starting ? s.unit.startTime : s.unit.stopTime)) {
        return;
    }
    s.phase = State::Phase::Idle;
    s.jobId = 0;
    std::optional<bool> nowActive;
    if (!starting) {
        s.active = "inactive";
        s.sub = "dead";
    } else if (s.unit.startFails) {
        s.active = "failed";
        s.sub = "failed";
        s.result = "exit-code";
    } else {
        s.active = "active";
        s.sub = "running";
        s.result = "success";
        nowActive = true;
    }
    if (nowActive && s.handler) {
        s.handler(*nowActive);
    }
}

std::string FakeSystemd::queueJob(const std::string& method, const std::string& unit,
                                  const std::string& mode) {
    checkUnit(unit);
    std::lock_guard guard(state_->mutex);
    State& s = *state_;
    evaluateLocked();
    s.calls.push_back(method + " " + unit + " " + mode);
    const bool start = method == "StartUnit";
    const bool already =
        start ? s.active == "active" : (s.active == "inactive" || s.active == "failed");
    s.jobId = ++s.jobCounter;
    const std::string path = "/org/freedesktop/systemd1/job/" + std::to_string(s.jobId);
    if (already) {
        s.jobId = 0;
        return path;
    }
    s.phase = start ? State::Phase::Starting : State::Phase::Stopping;
    s.since = clock_.now();
    s.active = start ? "activating" : "deactivating";
    s.sub = start ? "start" : "stop-sigterm";
    if (start) {
        ++s.invocation;
        s.result = "success";
    } else if (s.handler) {
        // The service leaves the bus as soon as it is told to stop.
        s.handler(false);
    }
    return path;
}

}  // namespace qm::testing
