#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "common/runtime/virtual_clock.h"
#include "studio/shell/device_list_controller.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/fake_service.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/settle.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_settings.h"

namespace qm::studio::testing {

// The microphone list wired as the main frame wires it, over a fake service. Every test that
// uses it also checks that no call reached the service on the GUI thread.
struct ListFixture {
    explicit ListFixture(bool showInactive = true) {
        resetGuiThreadCalls();
        settings.showUnactive = showInactive ? 1 : 0;
    }
    ~ListFixture() { EXPECT_EQ(guiThreadCalls(), 0) << "calls to the service on the GUI thread"; }

    FakeService& service() { return *connector.service; }
    void settle() { testing::settle(calls); }
    void notify(const std::string& serial, int state) {
        service().notify(serial, state);
        settle();
    }
    void refresh() {
        controller.Refresh();
        settle();
    }
    std::vector<std::string> listed() const { return list.listedSerials(); }

    FakeConnector connector;
    VirtualClock clock;
    ServiceConnection connection{connector, clock};
    ServiceCalls calls;
    RecordingParts parts;
    RecordingPanels panels{parts};
    FakeEndpoints endpoints;
    StudioHooks hooks{&endpoints, &parts, &panels, nullptr, nullptr, nullptr};
    DeviceSelection selection{hooks};
    RecordingPrompts prompts;
    StudioSettings settings;
    CSourceListCtrl list;
    DeviceListController controller{connection, calls, list, selection, prompts, settings};
};

}  // namespace qm::studio::testing
