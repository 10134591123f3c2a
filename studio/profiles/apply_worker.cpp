#include "studio/profiles/apply_worker.h"

namespace qm::studio {

ApplyWorker::ApplyWorker(profiles::CProfile profile, std::string serial, DeviceOpener open,
                         std::shared_ptr<profiles::ApplyLog> log, Clock& clock,
                         profiles::ApplyPolicy policy)
    : profile_(std::move(profile)),
      serial_(std::move(serial)),
      open_(std::move(open)),
      log_(std::move(log)),
      clock_(clock),
      policy_(policy) {}

ApplyWorker::~ApplyWorker() {
    detachView();
    thread_.request_stop();
}

void ApplyWorker::start(Finished finished) {
    {
        std::lock_guard guard(mutex_);
        finished_ = std::move(finished);
    }
    thread_ = std::jthread([this](const std::stop_token& stop) { run(stop); });
}

void ApplyWorker::detachView() {
    log_->setListener({});
    std::lock_guard guard(mutex_);
    finished_ = nullptr;
}

bool ApplyWorker::done() const {
    std::lock_guard guard(mutex_);
    return done_;
}

void ApplyWorker::run(const std::stop_token& stop) {
    profiles::ApplyOutcome outcome;
    bool reached = false;
    // The worker's own connection: it lives and ends on this thread.
    if (std::shared_ptr<sdk::IQMDevice> device = open_ ? open_(serial_) : nullptr) {
        reached = true;
        profiles::ClockPacer pacer(clock_, stop);
        outcome = profiles::applyProfile(profile_, *device, *log_, pacer, policy_);
    } else {
        outcome.result = profiles::ApplyOutcome::Result::Stopped;
    }
    std::lock_guard guard(mutex_);
    done_ = true;
    if (finished_)
        finished_(outcome, reached);
}

void ApplyWorkerRetirement::adopt(std::unique_ptr<ApplyWorker> worker) {
    worker->detachView();
    worker->requestStop();
    std::lock_guard guard(mutex_);
    workers_.push_back(std::move(worker));
}

void ApplyWorkerRetirement::reap() {
    std::vector<std::unique_ptr<ApplyWorker>> ended;
    {
        std::lock_guard guard(mutex_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            if ((*it)->done()) {
                ended.push_back(std::move(*it));
                it = workers_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Joined here, outside the lock: their threads have ended or are about to.
}

std::size_t ApplyWorkerRetirement::size() const {
    std::lock_guard guard(mutex_);
    return workers_.size();
}

ApplyWorkerRetirement::~ApplyWorkerRetirement() {
    std::lock_guard guard(mutex_);
    workers_.clear();  // each asked to stop when adopted; joined as it goes
}

}  // namespace qm::studio
