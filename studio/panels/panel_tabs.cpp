#include "studio/panels/panel_tabs.h"

#include "common/settings/models.h"
#include "studio/shell/device_groups.h"

namespace qm::studio::panels {
namespace {

constexpr std::array<TabInfo, 6> kTabs = {{
    {" DSP Volume \\ ALC ", 1335, 320},
    {" LPF \\ HPF 1 \\ HPF 2 ", 880, 170},
    {" Equalizer ", 810, 340},
    {" Beam \\ Zoom \\ Direction volume ", 620, 275},
    {" Output analog volume ", 1335, 320},
    {" Power Out Loop ", 1335, 320},
}};

}  // namespace

const TabInfo& tabInfo(PanelTab tab) {
    return kTabs[static_cast<std::size_t>(tabIndex(tab))];
}

std::uint32_t shownPanelMask(std::string_view productName) {
    if (settings::modelFromProductName(productName) == settings::Model::Unknown) {
        return 0;
    }
    return panelMaskOf(productName);
}

}  // namespace qm::studio::panels
