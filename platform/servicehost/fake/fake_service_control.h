#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "platform/servicehost/service_control.h"

namespace qm::servicehost {

// A service manager for tests with one scripted service. Its status is a function of the time on
// the given clock since the latest start or stop: a test scripts what a start and a stop set in
// motion (a check point that grows, a wait hint, a failure), and a wait on a virtual clock runs
// through minutes of it at once. Every query, start and stop is recorded with its time.
//
// Thread-safe: the program under test may use it from a worker while the test inspects it.
class FakeServiceControl final : public ServiceControlConnector {
  public:
    // The status `elapsed` after the action that began the timeline.
    using Timeline = std::function<ServiceStatus(Duration elapsed)>;
    struct Step {
        Duration at;
        ServiceStatus status;
    };
    // A timeline of fixed steps: each status holds from its time until the next step's.
    static Timeline steps(std::vector<Step> steps);

    explicit FakeServiceControl(Clock& clock, ServiceStatus initial = {});

    std::unique_ptr<ServiceControlManager> openManager(long& error) override;

    // The status from now on, until the next start or stop.
    void setStatus(ServiceStatus status);
    // What a start does: its result, and the statuses that follow an accepted start. Without a
    // script a start runs the service at once.
    void onStart(Timeline timeline, long error = 0);
    // What the stop control does. Without a script the service stops at once.
    void onStop(Timeline timeline, long error = 0);
    // The manager can't be reached / the service can't be opened / queries fail (0: they work).
    void setManagerError(long error);
    void setOpenError(long error);
    void setQueryError(long error);
    // What describeState and lastErrorLine answer.
    void setDescription(std::string stateWords, std::string lastErrorLine);

    ServiceStatus currentStatus() const;
    int starts() const;
    int stops() const;
    int queries() const;
    // Times of the queries since construction, as read on the clock.
    std::vector<Duration> queryTimes() const;
    std::vector<std::string> openedNames() const;

  private:
    class Manager;
    class Service;

    ServiceStatus statusLocked() const;
    long query(ServiceStatus& status);
    long start();
    long stop(ServiceStatus& status);
    std::string describe() const;
    std::string lastError() const;

    Clock& clock_;
    const TimePoint created_;
    mutable std::mutex mutex_;
    Timeline timeline_;
    TimePoint timelineStart_;
    Timeline startScript_;
    Timeline stopScript_;
    long startError_ = 0;
    long stopError_ = 0;
    long managerError_ = 0;
    long openError_ = 0;
    long queryError_ = 0;
    std::string stateWords_;
    std::string lastErrorLine_;
    int starts_ = 0;
    int stops_ = 0;
    std::vector<Duration> queryTimes_;
    std::vector<std::string> opened_;
};

}  // namespace qm::servicehost
