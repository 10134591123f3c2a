#include "studio/shell/reset_flow.h"

#include <QWidget>

#include "studio/shell/device_selection.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/string_table.h"
#include "studio/shell/user_prompts.h"
#include "studio/shell/wait_dialog.h"

namespace qm::studio {

ResetFlow::ResetFlow(QWidget& frame, DeviceSelection& selection,
                     const ServiceConnection& connection, UserPrompts& prompts,
                     std::chrono::milliseconds step, QObject* parent)
    : QObject(parent),
      frame_(frame),
      selection_(selection),
      connection_(connection),
      prompts_(prompts) {
    timer_.setInterval(step);
    connect(&timer_, &QTimer::timeout, this, &ResetFlow::tick);
}

CWaitDialog* ResetFlow::dialog() const {
    return dialog_.get();
}

ResetFlow::~ResetFlow() = default;

bool ResetFlow::start(const DevicePtr& device) {
    if (device == nullptr || running()) {
        return false;
    }
    if (!prompts_.askYesNo(loadString(3741), UserPrompts::Icon::Question)) {
        return false;
    }
    device_ = device;
    dialog_ = std::make_unique<CWaitDialog>(loadString(3742), &frame_);
    frame_.setEnabled(false);
    dialog_->setEnabled(true);
    dialog_->adjustSize();
    dialog_->move(frame_.geometry().center() - dialog_->rect().center());
    dialog_->show();

    device_->ResetDefault();
    selection_.select(nullptr);
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
    DevicePtr device = std::move(device_);
    device_.reset();
    if (connection_.contains(device)) {
        selection_.select(device);
    }
    frame_.setEnabled(true);
    dialog_.reset();
    emit finished();
}

}  // namespace qm::studio
