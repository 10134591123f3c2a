#include "studio/panels/ctrl_container_wnd.h"

#include <QVBoxLayout>

#include "studio/controls/panel_tab_control.h"
#include "studio/controls/scrolling_panel.h"
#include "studio/panels/ctrl_tab_alc.h"
#include "studio/panels/ctrl_tab_beam.h"
#include "studio/panels/ctrl_tab_eq.h"
#include "studio/panels/ctrl_tab_ext.h"
#include "studio/panels/ctrl_tab_lpf.h"
#include "studio/shell/device_selection.h"

namespace qm::studio::panels {
namespace {

CCtrlContainerWnd* theHost = nullptr;

CBaseCtrlTab* makePage(PanelTab tab, PanelLink& link) {
    switch (tab) {
        case PanelTab::Alc:
            return new CBaseCtrlTabALC(link);
        case PanelTab::Filters:
            return new CBaseCtrlTabLPF(link);
        case PanelTab::Equalizer:
            return new CBaseCtrlTabEQ(link);
        case PanelTab::Direction:
            return new CBaseCtrlTabBeam(link);
        case PanelTab::OutputVolume:
            return new CBaseCtrlTabExtOutVolume(link);
        case PanelTab::InputGain:
            return new CBaseCtrlTabExtTpaVolume(link);
    }
    return nullptr;
}

}  // namespace

CCtrlContainerWnd::CCtrlContainerWnd(ServiceCalls& calls, const DeviceSelection& selection,
                                     QWidget* parent)
    : QWidget(parent),
      link_(calls),
      selection_(selection),
      tabs_(new controls::PanelTabControl(this)) {
    setObjectName(QStringLiteral("CtrlContainerWnd"));
    controls::fillWithPanelColour(*this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
    for (PanelTab tab : kPanelTabs) {
        CBaseCtrlTab* page = makePage(tab, link_);
        pages_[static_cast<std::size_t>(tab)] = page;
        tabs_->addTab(page, panelText(tabInfo(tab).caption.data()));
        connect(page->inner(), &CCtrlTab::bytesChanged, this, &CCtrlContainerWnd::announce);
    }
    tabs_->disableAllTabs();
    theHost = this;
}

CCtrlContainerWnd::~CCtrlContainerWnd() {
    if (theHost == this) {
        theHost = nullptr;
    }
}

CCtrlContainerWnd* CCtrlContainerWnd::instance() {
    return theHost;
}

CCtrlTabALC* CCtrlContainerWnd::alcPanel() const {
    return static_cast<CCtrlTabALC*>(panel(PanelTab::Alc));
}
CCtrlTabLPF* CCtrlContainerWnd::filtersPanel() const {
    return static_cast<CCtrlTabLPF*>(panel(PanelTab::Filters));
}
CCtrlTabEQ* CCtrlContainerWnd::equalizerPanel() const {
    return static_cast<CCtrlTabEQ*>(panel(PanelTab::Equalizer));
}
CCtrlTabBeam* CCtrlContainerWnd::directionPanel() const {
    return static_cast<CCtrlTabBeam*>(panel(PanelTab::Direction));
}
CCtrlTabExtOutVolume* CCtrlContainerWnd::outputPanel() const {
    return static_cast<CCtrlTabExtOutVolume*>(panel(PanelTab::OutputVolume));
}
CCtrlTabExtTpaVolume* CCtrlContainerWnd::inputGainPanel() const {
    return static_cast<CCtrlTabExtTpaVolume*>(panel(PanelTab::InputGain));
}

void CCtrlContainerWnd::enableTabs(std::uint32_t mask) {
    for (PanelTab tab : kPanelTabs) {
        if (hasTab(mask, tab)) {
            tabs_->setTabEnabled(tabIndex(tab), true);
        }
    }
}

void CCtrlContainerWnd::setIdle() {
    link_.detach();
    for (PanelTab tab : kPanelTabs) {
        panel(tab)->showControls(false);
    }
    tabs_->disableAllTabs();
    shown_ = 0;
    announce();
}

void CCtrlContainerWnd::loadDevice(const std::shared_ptr<sdk::IQMDevice>& device,
                                   std::uint32_t panelMask) {
    enableTabs(panelMask);
    if (device == nullptr) {
        return;
    }
    link_.attach(device, selection_.selectedSerial(), selection_.guard());
    const std::uint32_t shownMask = shownPanelMask(selection_.selectedInfo().name) & panelMask;
    link_.read(
        this, [shownMask](sdk::IQMDevice& d) { return readPanels(d, shownMask); },
        [this, shownMask](const PanelReading& reading) { showReading(reading, shownMask); });
}

void CCtrlContainerWnd::showReading(const PanelReading& reading, std::uint32_t shownMask) {
    if (reading.started != sdk::S_OK) {
        return;  // known but not ready: its tabs stay empty
    }
    for (PanelTab tab : kPanelTabs) {
        if (hasTab(shownMask, tab)) {
            panel(tab)->showControls(true);
            panel(tab)->read(reading);
        }
    }
    shown_ = shownMask;
    announce();
}

settings::DeviceSettings CCtrlContainerWnd::shownSettings() const {
    settings::DeviceSettings bytes;
    for (PanelTab tab : kPanelTabs) {
        if (hasTab(shown_, tab)) {
            panel(tab)->collect(bytes);
        }
    }
    return bytes;
}

void CCtrlContainerWnd::announce() {
    emit settingsShown(shownSettings(), shown_);
}

}  // namespace qm::studio::panels
