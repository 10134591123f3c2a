#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "common/settings/device_settings.h"
#include "studio/panels/ctrl_tab.h"
#include "studio/panels/panel_link.h"
#include "studio/panels/panel_tabs.h"
#include "studio/shell/studio_hooks.h"

namespace qm::studio {
class DeviceSelection;
class ServiceCalls;
}  // namespace qm::studio

namespace qm::studio::controls {
class PanelTabControl;
}

namespace qm::studio::panels {

class CCtrlTabALC;
class CCtrlTabBeam;
class CCtrlTabEQ;
class CCtrlTabExtOutVolume;
class CCtrlTabExtTpaVolume;
class CCtrlTabLPF;

// The panel host: a tab control with the six panels in tab order, bound to the selected
// microphone. The shell runs it through the panel hooks at every selection: setIdle() hides
// every panel and disables every tab; loadDevice() enables the tabs of the microphone's model
// and reads the microphone on a worker; when the answer comes, and the selection is still the
// same, the panels of the model are shown and filled in tab order, unless the microphone
// isn't started (its tabs stay empty) or its product is unknown (no panel is filled).
class CCtrlContainerWnd : public QWidget, public PanelHooks {
    Q_OBJECT

  public:
    CCtrlContainerWnd(ServiceCalls& calls, const DeviceSelection& selection,
                      QWidget* parent = nullptr);
    ~CCtrlContainerWnd() override;

    // The panel host of the process, while one exists.
    static CCtrlContainerWnd* instance();

    void setIdle() override;
    void loadDevice(const std::shared_ptr<sdk::IQMDevice>& device,
                    std::uint32_t panelMask) override;

    // Enables the tabs whose bit is set; the others are left as they are.
    void enableTabs(std::uint32_t mask);

    controls::PanelTabControl* tabs() const { return tabs_; }
    CBaseCtrlTab* page(PanelTab tab) const { return pages_[static_cast<std::size_t>(tab)]; }
    CCtrlTab* panel(PanelTab tab) const { return page(tab)->inner(); }
    CCtrlTabALC* alcPanel() const;
    CCtrlTabLPF* filtersPanel() const;
    CCtrlTabEQ* equalizerPanel() const;
    CCtrlTabBeam* directionPanel() const;
    CCtrlTabExtOutVolume* outputPanel() const;
    CCtrlTabExtTpaVolume* inputGainPanel() const;
    PanelLink& link() { return link_; }

    // The panels shown now (tab bits) and the setting bytes they show; the bytes of the other
    // panels are 0.
    std::uint32_t shownPanels() const { return shown_; }
    settings::DeviceSettings shownSettings() const;

  signals:
    // The panels were filled from a microphone or the user changed a setting: what the
    // selected microphone's panels show now (for views that draw filter or equaliser marks).
    void settingsShown(const qm::settings::DeviceSettings& bytes, std::uint32_t shownPanels);

  private:
    void showReading(const PanelReading& reading, std::uint32_t shownMask);
    void announce();

    PanelLink link_;
    const DeviceSelection& selection_;
    controls::PanelTabControl* tabs_;
    std::array<CBaseCtrlTab*, kPanelTabs.size()> pages_{};
    std::uint32_t shown_ = 0;
};

}  // namespace qm::studio::panels
