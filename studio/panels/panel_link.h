#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <utility>

#include "common/sdk/interfaces.h"
#include "studio/panels/setting_call.h"
#include "studio/shell/device_change.h"
#include "studio/shell/service_calls.h"

namespace qm::studio::panels {

// The panels' way to the selected microphone. Every call runs on a worker of the studio's
// service calls, in the microphone's lane, so a change is never waited for on the GUI thread
// and the calls of one microphone keep the order the user made them in: each change, then
// GetLastStatus, then ResetStatus when that isn't 0, then the next change. The panels keep what
// they sent whatever the answer; a rejected change is only counted.
class PanelLink : public QObject {
    Q_OBJECT

  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;

    // How the last change of a list goes out: as any other, or (a dragged slider's position)
    // replacing a change of the same setting that still waits, unsent, at the end of this
    // microphone's lane.
    enum class Sending { Each, Latest };

    explicit PanelLink(ServiceCalls& calls, QObject* parent = nullptr);

    // The microphone changes go to, its serial (the lane) and the guard of its selection.
    void attach(DevicePtr device, std::string serial, ResultGuard guard);
    void detach();
    bool attached() const { return device_ != nullptr; }
    const DevicePtr& device() const { return device_; }

    // Sends the calls in order; nothing without a microphone.
    void send(const SettingCalls& calls, Sending sending = Sending::Each);

    // Runs `work(device)` on the microphone's lane after the calls sent before, and hands its
    // result to `done` on the GUI thread while `receiver` exists and the selection is unchanged.
    template <typename Work, typename Done>
    void read(QObject* receiver, Work work, Done done) {
        if (device_ == nullptr) {
            return;
        }
        calls_.post(
            ServiceCalls::laneOf(serial_), receiver,
            [device = device_, work = std::move(work)]() mutable { return work(*device); },
            std::move(done), guard_);
    }

    // Changes the microphone did not take (GetLastStatus not 0), since the link was made.
    int rejectedChanges() const { return rejected_; }

  signals:
    void changeRejected(const QString& call);

  private:
    ServiceCalls& calls_;
    DevicePtr device_;
    std::string serial_;
    ResultGuard guard_;
    int rejected_ = 0;
};

}  // namespace qm::studio::panels
