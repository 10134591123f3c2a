#include "studio/shell/service_control_flow.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/store.h"
#include "platform/registry/value_rules.h"
#include "platform/servicehost/service_control.h"
#include "platform/servicehost/service_wait.h"
#include "studio/controls/status_bar.h"
#include "studio/shell/device_list_controller.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/service_log_tail.h"
#include "studio/shell/string_table.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {
namespace {

using servicehost::ServiceState;
using servicehost::ServiceStatus;

// Its own lane: a wait of minutes holds up neither the device manager's calls nor a
// microphone's.
const char* const kControlLane = "!service-control";
constexpr int kProgressRange = 100;
constexpr int kProgressCeiling = 95;
constexpr int kProgressIntervalMs = 250;
// "Start serice qmMicHost", "Stop service qmMicHost".
constexpr int kStartCaption = 3052;
constexpr int kStopCaption = 3054;

}  // namespace

// What a wait on a worker shares with the GUI thread: the request to end early, and how far
// the pending step has come (the GUI thread shows it from a timer, so the worker never touches
// an object that may be gone).
struct ServiceControlFlow::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    bool cancelled = false;
    std::atomic<int> percent{0};
    std::atomic<bool> stopping{false};

    bool sleep(Duration d) {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, d, [this] { return cancelled; });
        return !cancelled;
    }
    void cancel() {
        {
            std::lock_guard guard(mutex);
            cancelled = true;
        }
        wake.notify_all();
    }
};

struct ServiceControlFlow::Outcome {
    enum class Step { NoManager, NoService, StopFailed, StartFailed, Done };
    Step step = Step::NoManager;
    sdk::HRESULT result = sdk::S_OK;
    bool running = false;
    std::string stateWords;
    std::string lastError;
};

ServiceControlFlow::ServiceControlFlow(servicehost::ServiceControlConnector& connector,
                                       Clock& clock, registry::Store& store, ServiceCalls& calls,
                                       CMainFrame& frame, DeviceListController& list,
                                       DeviceSelection& selection, UserPrompts& prompts,
                                       ServiceControlOptions options)
    : QObject(&frame),
      connector_(connector),
      clock_(clock),
      store_(store),
      calls_(calls),
      frame_(frame),
      list_(list),
      selection_(selection),
      prompts_(prompts),
      options_(std::move(options)),
      shared_(std::make_shared<Shared>()) {
    stateTimer_.setInterval(options_.stateInterval);
    connect(&stateTimer_, &QTimer::timeout, this, &ServiceControlFlow::readState);
    stateTimer_.start();
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, [this] {
        showWaitProgress(shared_->stopping ? kStopCaption : kStartCaption, shared_->percent);
    });
    readState();
}

ServiceControlFlow::~ServiceControlFlow() {
    shutdown();
}

void ServiceControlFlow::shutdown() {
    shutDown_ = true;
    stateTimer_.stop();
    progressTimer_.stop();
    shared_->cancel();
}

void ServiceControlFlow::readState() {
    if (reading_ || busy_ || shutDown_) {
        return;
    }
    reading_ = true;
    struct State {
        bool reachable = false;
        bool running = false;
        std::string words;
    };
    calls_.post(
        kControlLane, this,
        [&connector = connector_, name = options_.serviceName] {
            State state;
            long error = 0;
            const auto manager = connector.openManager(error);
            if (manager == nullptr) {
                return state;
            }
            state.reachable = true;
            const auto service = manager->openService(name, error);
            if (service == nullptr) {
                state.words = "not installed";
                return state;
            }
            ServiceStatus status;
            state.running =
                service->queryStatus(status) == 0 && status.state == ServiceState::Running;
            state.words = service->describeState();
            return state;
        },
        [this](const State& state) {
            reading_ = false;
            if (!busy_) {
                applyState(state.reachable, state.running, QString::fromStdString(state.words));
            }
        });
}

void ServiceControlFlow::applyState(bool reachable, bool running, const QString& text) {
    const bool changed = reachable != reachable_ || running != running_ || text != stateText_;
    reachable_ = reachable;
    running_ = running;
    stateText_ = text;
    if (changed) {
        emit stateChanged();
    }
}

void ServiceControlFlow::start() {
    run(Command::Start);
}

void ServiceControlFlow::stop() {
    run(Command::Stop);
}

void ServiceControlFlow::restart() {
    run(Command::Restart);
}

void ServiceControlFlow::run(Command command) {
    if (busy_ || shutDown_) {
        return;
    }
    busy_ = true;
    // The studio lets go of the service first; the sink goes too, also before a start, so that a
    // service that runs already never keeps a sink nobody listens to.
    list_.holdPresence(true);
    selection_.selectNone();
    list_.disconnectService();
    frame_.showProgress(true, 0);
    frame_.setProgressRange(kProgressRange);
    shared_->percent = 0;
    shared_->stopping = command != Command::Start;
    showWaitProgress(shared_->stopping ? kStopCaption : kStartCaption, 0);
    progressTimer_.start();

    // How far the pending step is into the time the manager gave it.
    auto report = [shared = shared_, &clock = clock_,
                   begin = clock_.now()](const ServiceStatus& status) {
        if (status.state != ServiceState::StartPending &&
            status.state != ServiceState::StopPending) {
            return;
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(clock.now() - begin).count();
        const auto hint = std::max<std::int64_t>(status.waitHint, 1000);
        shared->stopping = status.state == ServiceState::StopPending;
        shared->percent =
            static_cast<int>(std::min<std::int64_t>(kProgressCeiling, elapsed * 100 / hint));
    };
    auto sleep = options_.sleep;
    if (!sleep) {
        sleep = [shared = shared_](Duration d) { return shared->sleep(d); };
    }

    calls_.post(
        kControlLane, this,
        [&connector = connector_, &clock = clock_, name = options_.serviceName, command,
         report = std::move(report), sleep = std::move(sleep), logFolder = logFolder(),
         today = clock_.localNow()] {
            Outcome outcome;
            long error = 0;
            const auto manager = connector.openManager(error);
            if (manager == nullptr) {
                return outcome;
            }
            const auto service = manager->openService(name, error);
            if (service == nullptr) {
                outcome.step = Outcome::Step::NoService;
                outcome.result = sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(error));
                return outcome;
            }
            servicehost::ServiceWaitOptions wait(clock);
            wait.sleep = sleep;
            wait.progress = report;
            if (command != Command::Start) {
                outcome.result = servicehost::StopServiceAndWait(*service, wait);
                if (sdk::FAILED(outcome.result)) {
                    outcome.step = Outcome::Step::StopFailed;
                    return outcome;
                }
            }
            if (command != Command::Stop) {
                outcome.result = servicehost::StartServiceAndWait(*service, wait);
                if (sdk::FAILED(outcome.result)) {
                    outcome.step = Outcome::Step::StartFailed;
                    outcome.stateWords = service->describeState();
                    outcome.lastError = service->lastErrorLine();
                    if (outcome.lastError.empty()) {
                        outcome.lastError = lastServiceLogError(logFolder, name, today);
                    }
                    return outcome;
                }
            }
            outcome.step = Outcome::Step::Done;
            outcome.running = command != Command::Stop;
            outcome.stateWords = service->describeState();
            return outcome;
        },
        [this, command](const Outcome& outcome) { finish(command, outcome); });
}

void ServiceControlFlow::finish(Command command, const Outcome& outcome) {
    busy_ = false;
    progressTimer_.stop();
    if (shutDown_) {
        return;  // the frame is closing: a wait it cut short is no failure to report
    }
    list_.holdPresence(false);
    frame_.showProgress(false, 0);
    frame_.frameStatusBar()->setMessage(loadString(57345));
    using Step = Outcome::Step;
    switch (outcome.step) {
        case Step::NoManager:
            applyState(false, false, {});
            break;
        case Step::NoService:
            applyState(true, false, QStringLiteral("not installed"));
            prompts_.showMessage(loadString(3770), UserPrompts::Icon::Error);
            break;
        case Step::StopFailed:
            prompts_.showMessage(loadString(3771), UserPrompts::Icon::Error);
            break;
        case Step::StartFailed: {
            // Why it failed, as far as the manager and the service's own output tell.
            QString text = loadString(3772);
            if (!outcome.stateWords.empty()) {
                text += QStringLiteral("\n\n") + QString::fromStdString(outcome.stateWords);
            }
            if (!outcome.lastError.empty()) {
                text += QStringLiteral("\n") + QString::fromStdString(outcome.lastError);
            }
            applyState(true, false, QString::fromStdString(outcome.stateWords));
            prompts_.showMessage(text, UserPrompts::Icon::Error);
            break;
        }
        case Step::Done:
            applyState(true, outcome.running, QString::fromStdString(outcome.stateWords));
            if (command != Command::Stop) {
                list_.Refresh();
            }
            break;
    }
    if (outcome.step == Step::StopFailed) {
        readState();
    }
    emit finished(static_cast<int>(command), outcome.result);
}

std::string ServiceControlFlow::logFolder() const {
    registry::Key key;
    if (store_.openKey(registry::Hive::LocalMachine, settings::kDevicesKey, registry::Access::Read,
                       key) == registry::ERROR_SUCCESS) {
        if (auto folder = registry::readString(key, "LogFolder")) {
            return *folder;
        }
    }
    return settings::defaultLogFolder();
}

void ServiceControlFlow::showWaitProgress(int caption, int percent) {
    if (!busy_) {
        return;
    }
    frame_.frameStatusBar()->setMessage(loadString(caption).section(QLatin1Char('\n'), 0, 0) +
                                        QStringLiteral(" …"));
    frame_.setProgressPosition(percent);
}

}  // namespace qm::studio
