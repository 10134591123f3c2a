#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "studio/panels/recording_device.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/settle.h"
#include "studio/controls/panel_tab_control.h"
#include "studio/panels/ctrl_container_wnd.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/service_calls.h"

namespace qm::studio::panels::testing {

// The description XML of a microphone with these attributes.
inline std::string deviceXml(std::initializer_list<std::pair<const char*, int>> attributes) {
    std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?><Device SN="SN1" Name="M")";
    for (const auto& [name, value] : attributes) {
        xml += std::string(" ") + name + "=\"" + std::to_string(value) + "\"";
    }
    return xml + "/>";
}

// The panel host wired as in the studio: the shell's selection calls its hooks, the calls go
// through the studio's workers, and the capture endpoint of every selected microphone is found.
class PanelHostTest : public ::testing::Test {
  protected:
    PanelHostTest() {
        hooks_.endpoints = &endpoints_;
        hooks_.panels = &host_;
        host_.resize(900, 400);
    }

    // Selects the microphone and, unless told not to, lets its read reach the panels.
    std::shared_ptr<RecordingDevice> select(const std::string& product, std::string xml,
                                            bool started = true, bool settled = true) {
        auto device = std::make_shared<RecordingDevice>(product);
        device->xml = std::move(xml);
        device->started = started;
        DeviceInfo info;
        info.serial = "SN1";
        info.name = product;
        info.vendorId = "10C4";
        info.productId = "EAB0";
        info.started = started;
        info.identified = true;
        endpoints_.endpoints.emplace_back(*usbContainerIdOf("10C4", "EAB0", "SN1"), "capture-1");
        selection_.select(device, info);
        if (settled) {
            settle();
        }
        return device;
    }

    void settle() { studio::testing::settle(calls_); }

    // The enabled tabs as a mask.
    std::uint32_t enabledTabs() const {
        std::uint32_t mask = 0;
        for (int i = 0; i < host_.tabs()->count(); ++i) {
            mask |= host_.tabs()->isTabEnabled(i) ? 1u << i : 0u;
        }
        return mask;
    }
    std::uint32_t filledPanels() const {
        std::uint32_t mask = 0;
        for (PanelTab tab : kPanelTabs) {
            mask |= host_.panel(tab)->controlsShown() ? tabBit(tab) : 0u;
        }
        return mask;
    }

    template <typename Widget = QAbstractButton>
    Widget* control(PanelTab tab, int id) const {
        auto* widget = host_.panel(tab)->findChild<Widget*>(QStringLiteral("id%1").arg(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }

    ServiceCalls calls_{2};
    studio::testing::FakeEndpoints endpoints_;
    StudioHooks hooks_;
    DeviceSelection selection_{hooks_};
    CCtrlContainerWnd host_{calls_, selection_};
};

}  // namespace qm::studio::panels::testing
