#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "studio/panels/ctrl_container_wnd.h"
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
// from the studio's settings ("UpdateALC") and a new choice is stored there.
class ControlPanels final : public QObject, public PanelHooks {
    Q_OBJECT

  public:
    void attach(CMainFrame& frame, StudioSettings& settings, controls::RegistryManager& registry);

    void setIdle() override;
    void loadDevice(const std::shared_ptr<sdk::IQMDevice>& device,
                    std::uint32_t panelMask) override;

    CCtrlContainerWnd* host() const { return host_; }

  private:
    // The place owns the host; the pointer clears when it goes with the frame.
    QPointer<CCtrlContainerWnd> host_;
};

}  // namespace qm::studio::panels
