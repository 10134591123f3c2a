#include "platform/servicehost/fake/fake_service_control.h"

#include <utility>

namespace qm::servicehost {
namespace {

FakeServiceControl::Timeline constant(ServiceStatus status) {
    return [status](Duration) { return status; };
}

}  // namespace

class FakeServiceControl::Service final : public ControlledService {
  public:
    explicit Service(FakeServiceControl& owner) : owner_(owner) {}

    long queryStatus(ServiceStatus& status) override { return owner_.query(status); }
    long start() override { return owner_.start(); }
    long stop(ServiceStatus& status) override { return owner_.stop(status); }
    std::string describeState() override { return owner_.describe(); }
    std::string lastErrorLine() override { return owner_.lastError(); }

  private:
    FakeServiceControl& owner_;
};

class FakeServiceControl::Manager final : public ServiceControlManager {
  public:
    explicit Manager(FakeServiceControl& owner) : owner_(owner) {}

    std::unique_ptr<ControlledService> openService(const std::string& name, long& error) override {
        std::lock_guard guard(owner_.mutex_);
        owner_.opened_.push_back(name);
        error = owner_.openError_;
        if (error != 0) {
            return nullptr;
        }
        return std::make_unique<Service>(owner_);
    }

  private:
    FakeServiceControl& owner_;
};

FakeServiceControl::Timeline FakeServiceControl::steps(std::vector<Step> steps) {
    return [steps = std::move(steps)](Duration elapsed) {
        ServiceStatus status = steps.empty() ? ServiceStatus{} : steps.front().status;
        for (const Step& step : steps) {
            if (step.at <= elapsed) {
                status = step.status;
            }
        }
        return status;
    };
}

FakeServiceControl::FakeServiceControl(Clock& clock, ServiceStatus initial)
    : clock_(clock),
      created_(clock.now()),
      timeline_(constant(initial)),
      timelineStart_(created_),
      startScript_(constant({ServiceState::Running, 0, 0})),
      stopScript_(constant({ServiceState::Stopped, 0, 0})) {}

std::unique_ptr<ServiceControlManager> FakeServiceControl::openManager(long& error) {
    std::lock_guard guard(mutex_);
    error = managerError_;
    if (error != 0) {
        return nullptr;
    }
    return std::make_unique<Manager>(*this);
}

void FakeServiceControl::setStatus(ServiceStatus status) {
    std::lock_guard guard(mutex_);
    timeline_ = constant(status);
    timelineStart_ = clock_.now();
}

void FakeServiceControl::onStart(Timeline timeline, long error) {
    std::lock_guard guard(mutex_);
    startScript_ = std::move(timeline);
    startError_ = error;
}

void FakeServiceControl::onStop(Timeline timeline, long error) {
    std::lock_guard guard(mutex_);
    stopScript_ = std::move(timeline);
    stopError_ = error;
}

void FakeServiceControl::setManagerError(long error) {
    std::lock_guard guard(mutex_);
    managerError_ = error;
}

void FakeServiceControl::setOpenError(long error) {
    std::lock_guard guard(mutex_);
    openError_ = error;
}

void FakeServiceControl::setQueryError(long error) {
    std::lock_guard guard(mutex_);
    queryError_ = error;
}

void FakeServiceControl::setDescription(std::string stateWords, std::string lastErrorLine) {
    std::lock_guard guard(mutex_);
    stateWords_ = std::move(stateWords);
    lastErrorLine_ = std::move(lastErrorLine);
}

ServiceStatus FakeServiceControl::statusLocked() const {
    return timeline_(clock_.now() - timelineStart_);
}

ServiceStatus FakeServiceControl::currentStatus() const {
    std::lock_guard guard(mutex_);
    return statusLocked();
}

long FakeServiceControl::query(ServiceStatus& status) {
    std::lock_guard guard(mutex_);
    queryTimes_.push_back(clock_.now() - created_);
    if (queryError_ != 0) {
        return queryError_;
    }
    status = statusLocked();
    return 0;
}

long FakeServiceControl::start() {
    std::lock_guard guard(mutex_);
    ++starts_;
    if (startError_ != 0) {
        return startError_;
    }
    timeline_ = startScript_;
    timelineStart_ = clock_.now();
    return 0;
}

long FakeServiceControl::stop(ServiceStatus& status) {
    std::lock_guard guard(mutex_);
    ++stops_;
    if (stopError_ != 0) {
        return stopError_;
    }
    timeline_ = stopScript_;
    timelineStart_ = clock_.now();
    status = statusLocked();
    return 0;
}

std::string FakeServiceControl::describe() const {
    std::lock_guard guard(mutex_);
    if (!stateWords_.empty()) {
        return stateWords_;
    }
    return serviceStateName(statusLocked().state);
}

std::string FakeServiceControl::lastError() const {
    std::lock_guard guard(mutex_);
    return lastErrorLine_;
}

int FakeServiceControl::starts() const {
    std::lock_guard guard(mutex_);
    return starts_;
}

int FakeServiceControl::stops() const {
    std::lock_guard guard(mutex_);
    return stops_;
}

int FakeServiceControl::queries() const {
    std::lock_guard guard(mutex_);
    return static_cast<int>(queryTimes_.size());
}

std::vector<Duration> FakeServiceControl::queryTimes() const {
    std::lock_guard guard(mutex_);
    return queryTimes_;
}

std::vector<std::string> FakeServiceControl::openedNames() const {
    std::lock_guard guard(mutex_);
    return opened_;
}

}  // namespace qm::servicehost
