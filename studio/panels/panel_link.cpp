#include "studio/panels/panel_link.h"

namespace qm::studio::panels {

PanelLink::PanelLink(ServiceCalls& calls, QObject* parent) : QObject(parent), calls_(calls) {}

void PanelLink::attach(DevicePtr device, std::string serial, ResultGuard guard) {
    device_ = std::move(device);
    serial_ = std::move(serial);
    guard_ = std::move(guard);
}

void PanelLink::detach() {
    device_.reset();
    serial_.clear();
    guard_ = nullptr;
}

void PanelLink::send(const SettingCalls& calls, Sending sending) {
    if (device_ == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const SettingCall& call = calls[i];
        const bool latest = sending == Sending::Latest && i + 1 == calls.size();
        auto done = [this, call](ChangeOutcome outcome) {
            if (outcome.statusReset) {
                ++rejected_;
                emit changeRejected(QString::fromStdString(describe(call)));
            }
        };
        postChange(
            calls_, device_, serial_, this,
            [call](sdk::IQMDevice& device) { return invoke(device, call); }, std::move(done), {},
            latest ? settingKey(call) : std::string());
    }
}

}  // namespace qm::studio::panels
