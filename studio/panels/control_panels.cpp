#include "studio/panels/control_panels.h"

#include <QLayout>
#include <utility>

#include "studio/controls/registry_manager.h"
#include "studio/panels/ctrl_tab_alc.h"
#include "studio/shell/child_view.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/studio_settings.h"

namespace qm::studio::panels {

void ControlPanels::attach(CMainFrame& frame, StudioSettings& settings,
                           controls::RegistryManager& registry) {
    QWidget* place = frame.childView()->panelHostPlace();
    auto* host = new CCtrlContainerWnd(frame.serviceCalls(), frame.selection(), place);
    place->layout()->addWidget(host);
    host_ = host;
    connect(host, &CCtrlContainerWnd::settingsShown, this, &ControlPanels::follow);
    CCtrlTabALC* alc = host->alcPanel();
    alc->setTimerPeriod(settings.updateAlc);
    connect(alc, &CCtrlTabALC::timerPeriodChosen, this,
            [&settings, &registry](std::uint32_t period) {
                settings.updateAlc = period;
                registry.writeProfileInt(keys::kSettings, "UpdateALC", period);
            });
}

void ControlPanels::follow(const settings::DeviceSettings& bytes, std::uint32_t shownPanels) {
    FilterMarks marks = filterMarksOf(bytes, shownPanels);
    if (marks != marks_) {
        marks_ = std::move(marks);
        emit filterMarksChanged(marks_);
    }
}

void ControlPanels::setIdle() {
    if (CCtrlContainerWnd* host = host_.data()) {
        host->setIdle();
    }
}

void ControlPanels::loadDevice(const std::shared_ptr<sdk::IQMDevice>& device,
                               std::uint32_t panelMask) {
    if (CCtrlContainerWnd* host = host_.data()) {
        host->loadDevice(device, panelMask);
    }
}

}  // namespace qm::studio::panels
