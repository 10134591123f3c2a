#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/profiles/apply_log.h"
#include "common/profiles/profile_applier.h"
#include "common/runtime/clock.h"
#include "common/sdk/interfaces.h"

namespace qm::studio {

// One apply of a profile to a microphone, on a thread of its own with its own connection to the
// service (`open` is called on that thread and returns the microphone of the serial number, or
// null). Progress goes to the shared log, whose listener its view sets; the end goes to the
// view's `finished` function, on the worker's thread. detachView() cuts both: once it returns,
// the worker touches nothing of its view again, so the view may go while the run ends.
class ApplyWorker {
  public:
    using DeviceOpener = std::function<std::shared_ptr<sdk::IQMDevice>(const std::string& serial)>;
    using Finished = std::function<void(const profiles::ApplyOutcome& outcome, bool reached)>;

    ApplyWorker(profiles::CProfile profile, std::string serial, DeviceOpener open,
                std::shared_ptr<profiles::ApplyLog> log, Clock& clock,
                profiles::ApplyPolicy policy = {});
    // Asks the run to end and waits for it.
    ~ApplyWorker();
    ApplyWorker(const ApplyWorker&) = delete;
    ApplyWorker& operator=(const ApplyWorker&) = delete;

    // Starts the thread; throws std::system_error when it can't be made. `finished` gets the
    // outcome and whether the microphone was reached at all.
    void start(Finished finished);
    void requestStop() { thread_.request_stop(); }
    void detachView();
    bool done() const;

  private:
    void run(const std::stop_token& stop);

    const profiles::CProfile profile_;
    const std::string serial_;
    const DeviceOpener open_;
    const std::shared_ptr<profiles::ApplyLog> log_;
    Clock& clock_;
    const profiles::ApplyPolicy policy_;

    mutable std::mutex mutex_;
    Finished finished_;
    bool done_ = false;
    std::jthread thread_;  // last: joined before the members it uses go
};

// Workers whose view went while they ran: kept until they end, then joined. Whoever owns this
// outlives every view that hands a worker over; its destructor stops and joins the rest.
class ApplyWorkerRetirement {
  public:
    void adopt(std::unique_ptr<ApplyWorker> worker);
    // Joins the workers that have ended.
    void reap();
    std::size_t size() const;
    ~ApplyWorkerRetirement();

  private:
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<ApplyWorker>> workers_;
};

}  // namespace qm::studio
