#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "common/runtime/clock.h"
#include "common/sdk/hresult.h"
#include "studio/shell/studio_hooks.h"

namespace qm::servicehost {
class ServiceControlConnector;
}
namespace qm::registry {
class Store;
}

namespace qm::studio {

class CMainFrame;
class DeviceListController;
class DeviceSelection;
class ServiceCalls;
class UserPrompts;

struct ServiceControlOptions {
    std::string serviceName = "qmMicHost";
    // Sleeps one poll interval of a wait; false ends the wait. Empty: real time, ended early
    // when the flow goes away.
    std::function<bool(Duration)> sleep;
    // How often the service's state is read for the ribbon.
    std::chrono::milliseconds stateInterval{2000};
};

// The Service tab's Start, Stop and Restart. Each first takes the studio off the service (no
// microphone selected, capture stopped, the sink unadvised for Stop and Restart, the list
// emptied, disconnected), then opens the service manager and the service and waits for the
// start or stop on a worker while the status bar shows progress, and reconnects after a start.
// A failure shows its message; a failed start adds the service's state in words and its last
// error line. While one of them runs the commands are disabled and the studio doesn't react
// to the service's coming and going.
//
// isServiceRunning() answers from a cache, read on a worker every few seconds and after each
// command, so the ribbon's update handlers never wait.
class ServiceControlFlow final : public QObject, public ServiceControlHooks {
    Q_OBJECT

  public:
    // `store`: where the service's log folder is found.
    ServiceControlFlow(servicehost::ServiceControlConnector& connector, Clock& clock,
                       registry::Store& store, ServiceCalls& calls, CMainFrame& frame,
                       DeviceListController& list, DeviceSelection& selection, UserPrompts& prompts,
                       ServiceControlOptions options = {});
    ~ServiceControlFlow() override;

    bool isServiceRunning() override { return running_; }
    bool busy() const override { return busy_; }
    bool reachable() const override { return reachable_; }
    void start() override;
    void stop() override;
    void restart() override;

    // The service's state in the manager's words as last read; empty before the first read or
    // when the manager can't be reached.
    const QString& stateText() const { return stateText_; }
    // Reads the state again on a worker (unless a read or a command is under way).
    void readState();
    // Ends a wait under way at its next poll; nothing else starts from then on.
    void shutdown();

  signals:
    // The cached state changed.
    void stateChanged();
    // A command has finished, with its result (S_OK, or the failure shown).
    void finished(int command, sdk::HRESULT result);

  private:
    struct Shared;
    struct Outcome;
    enum class Command { Start, Stop, Restart };

    void run(Command command);
    void finish(Command command, const Outcome& outcome);
    void showWaitProgress(int caption, int percent);
    void applyState(bool reachable, bool running, const QString& text);
    std::string logFolder() const;

    servicehost::ServiceControlConnector& connector_;
    Clock& clock_;
    registry::Store& store_;
    ServiceCalls& calls_;
    CMainFrame& frame_;
    DeviceListController& list_;
    DeviceSelection& selection_;
    UserPrompts& prompts_;
    ServiceControlOptions options_;
    std::shared_ptr<Shared> shared_;
    QTimer stateTimer_;
    QTimer progressTimer_;
    bool running_ = false;
    bool reachable_ = true;
    bool busy_ = false;
    bool reading_ = false;
    bool shutDown_ = false;
    QString stateText_;
};

}  // namespace qm::studio
