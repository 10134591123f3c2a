#include "studio/shell/reset_flow.h"

#include <QWidget>

#include "studio/shell/device_list_controller.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/string_table.h"
#include "studio/shell/user_prompts.h"
#include "studio/shell/wait_dialog.h"

namespace qm::studio {

ResetFlow::ResetFlow(QWidget& frame, DeviceSelection& selection, DeviceListController& devices,
                     ServiceCalls& calls, UserPrompts& prompts, std::chrono::milliseconds step,
                     QObject* parent)
    : QObject(parent),
      frame_(frame),
      selection_(selection),
      devices_(devices),
      calls_(calls),
      prompts_(prompts) {
    timer_.setInterval(step);
    connect(&timer_, &QTimer::timeout, this, &ResetFlow::tick);
}

ResetFlow::~ResetFlow() = default;

bool ResetFlow::start() {
    if (running() || !devices_.selectedStarted()) {
        return false;
    }
    // Held by value: the question below runs the event loop, and a notification handled there
    // may change or clear the selection.
    const DevicePtr device = selection_.selected();
    const std::string serial = selection_.selectedSerial();
    const auto ticket = selection_.ticket();
    if (!prompts_.askYesNo(loadString(3741), UserPrompts::Icon::Question)) {
        return false;
    }
    if (!selection_.isCurrent(ticket) || !devices_.selectedStarted()) {
        return false;
    }
    device_ = device;
    dialog_ = std::make_unique<CWaitDialog>(loadString(3742), &frame_);
    frame_.setEnabled(false);
    dialog_->setEnabled(true);
    dialog_->adjustSize();
    dialog_->move(frame_.geometry().center() - dialog_->rect().center());
    dialog_->show();

    calls_.post(ServiceCalls::laneOf(serial),
                [device] { static_cast<void>(device->ResetDefault()); });
    selection_.selectNone();
    step_ = 0;
    timer_.start();
    return true;
}

void ResetFlow::tick() {
    if (step_ < kSteps) {
        if (dialog_ != nullptr) {
            dialog_->setProgress(step_);
        }
        ++step_;
        return;
    }
    finish();
}

void ResetFlow::finish() {
    timer_.stop();
    const DevicePtr device = std::move(device_);
    device_.reset();
    devices_.reselect(device);
    frame_.setEnabled(true);
    dialog_.reset();
    emit finished();
}

}  // namespace qm::studio
