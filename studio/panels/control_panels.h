#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "studio/panels/ctrl_container_wnd.h"
#include "studio/panels/filter_marks.h"
#include "studio/shell/studio_hooks.h"

namespace qm::studio {
class CMainFrame;
struct StudioSettings;
}  // namespace qm::studio

namespace qm::studio::controls {
class RegistryManager;
}

namespace qm::studio::panels {

// The control panels in the running studio: the panel host, made in the main frame's place
// once the frame exists, answers the shell's panel hooks; the ALC panel's update period comes
// from the studio's settings ("UpdateALC") and a new choice is stored there. What the filters
// and the equaliser of the selected microphone are set to is offered as frequencies
// (filterMarks(), filterMarksChanged) for the views that mark them.
class ControlPanels final : public QObject, public PanelHooks {
    Q_OBJECT

  public:
    void attach(CMainFrame& frame, StudioSettings& settings, controls::RegistryManager& registry);

    void setIdle() override;
    void loadDevice(const std::shared_ptr<sdk::IQMDevice>& device,
                    std::uint32_t panelMask) override;

    CCtrlContainerWnd* host() const { return host_; }
    // The filter and equaliser settings the panels show now; none while no panel is shown.
    const FilterMarks& filterMarks() const { return marks_; }

  signals:
    // The panels were filled from another microphone, hidden, or the user changed a filter or
    // an equaliser band.
    void filterMarksChanged(const qm::studio::panels::FilterMarks& marks);

  private:
    void follow(const settings::DeviceSettings& bytes, std::uint32_t shownPanels);

    FilterMarks marks_;
    // The place owns the host; the pointer clears when it goes with the frame.
    QPointer<CCtrlContainerWnd> host_;
};

}  // namespace qm::studio::panels
