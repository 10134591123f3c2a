#pragma once

#include <QCoreApplication>

#include "common/runtime/virtual_clock.h"
#include "studio/shell/device_list_controller.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/fake_service.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_settings.h"

namespace qm::studio::testing {

// The microphone list wired as the main frame wires it, over a fake service.
struct ListFixture {
    explicit ListFixture(bool showInactive = true) { settings.showUnactive = showInactive ? 1 : 0; }

    FakeService& service() { return *connector.service; }
    // Delivers what the sink has posted to the main thread.
    static void deliver() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    void notify(const std::string& serial, int state) {
        service().notify(serial, state);
        deliver();
    }
    std::vector<std::string> listed() const { return list.listedSerials(); }

    FakeConnector connector;
    VirtualClock clock;
    ServiceConnection connection{connector, clock};
    RecordingParts parts;
    RecordingPanels panels{parts};
    FakeEndpoints endpoints;
    StudioHooks hooks{&endpoints, &parts, &panels, nullptr, nullptr, nullptr};
    DeviceSelection selection{hooks};
    RecordingPrompts prompts;
    StudioSettings settings;
    CSourceListCtrl list;
    DeviceListController controller{connection, list, selection, prompts, settings};
};

}  // namespace qm::studio::testing
