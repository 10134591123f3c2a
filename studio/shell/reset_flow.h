#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

#include "common/sdk/interfaces.h"

class QWidget;

namespace qm::studio {

class CWaitDialog;
class DeviceListController;
class DeviceSelection;
class ServiceCalls;
class UserPrompts;

// "Reset": after the user agrees, the selected microphone is told to go back to its defaults
// while a wait dialog counts 101 steps (about ten seconds at 100 ms a step) with the main window
// disabled; then the microphone is selected again so that everything shows its new state. The
// event loop keeps running meanwhile, so notifications are handled as they come. A microphone
// that left the service or stopped during the wait is not selected again.
class ResetFlow : public QObject {
    Q_OBJECT

  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;
    static constexpr int kSteps = 101;
    static constexpr std::chrono::milliseconds kDefaultStep{100};

    ResetFlow(QWidget& frame, DeviceSelection& selection, DeviceListController& devices,
              ServiceCalls& calls, UserPrompts& prompts,
              std::chrono::milliseconds step = kDefaultStep, QObject* parent = nullptr);
    ~ResetFlow() override;

    // Resets the selected microphone. False when none is selected and started, a reset is
    // running already, the user declined, or the selection changed while the question was open.
    bool start();
    bool running() const { return device_ != nullptr; }

  signals:
    void finished();

  private:
    void tick();
    void finish();

    QWidget& frame_;
    DeviceSelection& selection_;
    DeviceListController& devices_;
    ServiceCalls& calls_;
    UserPrompts& prompts_;
    QTimer timer_;
    DevicePtr device_;
    std::unique_ptr<CWaitDialog> dialog_;
    int step_ = 0;
};

}  // namespace qm::studio
