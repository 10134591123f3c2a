#pragma once

// The studio against the real service: a private bus, qmMicHost serving virtual microphones, and
// the studio's application object with its main frame on the offscreen platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/ipc/bus_names.h"
#include "common/ipc/client.h"
#include "common/ipc/service_name_watch.h"
#include "common/ipc/simulator_control.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/temp_registry.h"
#include "studio/panels/control_panels.h"
#include "studio/profiles/profile_part.h"
#include "studio/shell/dbus_service_connector.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/settle.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "support/child_process.h"
#include "support/private_bus.h"

namespace qm::studio::testing {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kThreeMicrophones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003";
constexpr const char* kFourMicrophones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003,Rowan:SN1004";

// The longest gap between the ticks of a timer on the studio's thread, the first counted from
// `start`: the longest the thread was held.
inline Clock::duration longestGap(Clock::time_point start,
                                  const std::vector<Clock::time_point>& ticks) {
    Clock::duration longest = Clock::duration::zero();
    for (const Clock::time_point tick : ticks) {
        longest = std::max(longest, tick - start);
        start = tick;
    }
    return longest;
}

class StudioAgainstServiceTest : public ::testing::Test {
  protected:
    StudioAgainstServiceTest() = default;
    ~StudioAgainstServiceTest() override {
        app_.reset();
        if (service_) {
            service_->terminate();
        }
    }

    // qmMicHost serving the given virtual microphones on the test's bus (with `more` switches),
    // its registry and logs in the test's folder; returns once it has taken its name on the bus
    // (the studio waits for its device manager by itself).
    void startService(const char* microphones = kThreeMicrophones,
                      const std::vector<std::string>& more = {}) {
        std::mutex mutex;
        std::condition_variable changed;
        bool present = false;
        const auto watch = ipc::watchServiceName(clientOptions(), [&](bool now) {
            std::lock_guard guard(mutex);
            present = now;
            changed.notify_all();
        });
        ASSERT_NE(watch, nullptr);
        std::vector<std::string> argv{QM_MICHOST_PATH, "-Runapp",    "--bus",
                                      bus_.address(),  "--simulate", microphones};
        argv.insert(argv.end(), more.begin(), more.end());
        qm::testing::ChildProcess::Options options;  // this environment, not the test's own
        options.environment =
            qm::testing::cleanEnvironment({"QM_REGISTRY_DIR=" + serviceFolder_.text("registry"),
                                           "QM_LOG_DIR=" + serviceFolder_.text("logs")});
        options.errorsShown = true;
        service_ = std::make_unique<qm::testing::ChildProcess>(argv, options);
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return present; }))
            << "the service did not come on the bus";
    }

    ipc::ClientOptions clientOptions() const {
        ipc::ClientOptions options;
        options.bus = ipc::BusAddress::explicitAddress(bus_.address());
        return options;
    }

    // The microphone as a client of its own sees it.
    std::optional<ServiceDevice> serviceDevice(const std::string& serial) {
        const auto service = ipc::connectToService(clientOptions());
        return service ? fetchDevice(*service, serial) : std::nullopt;
    }

    // Waits until the service has read the microphones: a change made during that first
    // reading would meet it.
    void waitUntilRead(std::initializer_list<const char*> serials) {
        const auto service = ipc::connectToService(clientOptions());
        ASSERT_NE(service, nullptr);
        for (const char* serial : serials) {
            ASSERT_TRUE(pumpUntil(
                [&] {
                    const auto device = fetchDevice(*service, serial);
                    return device && device->device->IsInitialized() == sdk::S_OK;
                },
                10s))
                << serial;
        }
    }

    // What qmctl, run on the test's bus, prints.
    std::vector<std::string> qmctl(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {QM_QMCTL_PATH, "--bus", bus_.address()});
        qm::testing::ChildProcess program(arguments);
        std::vector<std::string> lines;
        while (auto line = program.readLine(5s)) {
            lines.push_back(*line);
        }
        return lines;
    }

    // The studio with its main frame; `adjust` may plug more parts into its environment.
    CMainFrame& startStudio(const std::function<void(StudioEnvironment&)>& adjust = {}) {
        const registry::Key devices =
            createdKey(*studioRegistry_.store, registry::Hive::LocalMachine, keys::kDevicesPath);
        EXPECT_EQ(registry::writeString(devices, "ProfileFolder",
                                        (studioRegistry_.folder.path() / "profiles").string()),
                  registry::ERROR_SUCCESS);
        StudioEnvironment environment;
        environment.connector = &connector_;
        environment.hooks.endpoints = &endpoints_;
        environment.prompts = &prompts_;
        environment.links = &links_;
        if (adjust) {
            adjust(environment);
        }
        app_ = std::make_unique<CTonecraftApp>(*studioRegistry_.store, std::move(environment));
        EXPECT_TRUE(app_->InitInstance());
        return *app_->mainFrame();
    }

    CSourceListCtrl& list() { return *app_->mainFrame()->sourcePane()->list(); }
    // The service with these microphones, and the studio once it lists `listed` of them.
    void startServiceAndStudio(const char* microphones, int listed) {
        ASSERT_NO_FATAL_FAILURE(startService(microphones));
        startStudio();
        ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == listed; }, 10s))
            << "listed: " << list().deviceCount();
    }

    qm::testing::PrivateBus bus_;
    TempFolder serviceFolder_;
    std::unique_ptr<qm::testing::ChildProcess> service_;
    TempRegistry studioRegistry_;
    DbusServiceConnector connector_{ipc::BusAddress::explicitAddress(bus_.address())};
    FakeEndpoints endpoints_;  // no microphone's sound is found
    RecordingPrompts prompts_;
    RecordingLinks links_;
    std::unique_ptr<CTonecraftApp> app_;
};

// The studio with its control panels and, when asked, its profile pane; every microphone's sound
// is found, so that the panels fill.
class StudioWithPanelsTest : public StudioAgainstServiceTest {
  protected:
    StudioWithPanelsTest() { endpoints_.fallback = "source"; }
    // The studio ends its hooks when it exits: end it while they still live.
    ~StudioWithPanelsTest() override { app_.reset(); }

    // Starts the studio and waits until it lists `listed` microphones.
    void startStudioWithPanels(int listed, bool withProfiles = false) {
        startStudio([this, withProfiles](StudioEnvironment& environment) {
            environment.hooks.panels = &panels_;
            if (withProfiles) {
                environment.hooks.profiles = &profiles_;
            }
            environment.frameCreated = [this, withProfiles](CMainFrame& frame) {
                panels_.attach(frame, app_->settings(), app_->registry());
                if (withProfiles) {
                    profiles_.attach(frame, *app_);
                }
            };
        });
        ASSERT_TRUE(pumpUntil([&] { return list().deviceCount() == listed; }, 10s));
    }

    panels::CCtrlContainerWnd& host() {
        panels::CCtrlContainerWnd* made = panels_.host();
        if (made == nullptr) {
            throw std::logic_error("the studio made no panel host");
        }
        return *made;
    }
    // What the panels show; nothing while they show no microphone.
    std::optional<settings::DeviceSettings> shown() {
        const panels::CCtrlContainerWnd* made = panels_.host();
        if (made == nullptr || made->shownPanels() == 0) {
            return std::nullopt;
        }
        return made->shownSettings();
    }
    // Selects the microphone in the list and waits until its panels are filled.
    bool showPanelsOf(const std::string& serial) {
        return list().selectDevice(serial) && pumpUntil([&] { return shown().has_value(); }, 10s);
    }

    panels::ControlPanels panels_;
    ProfilePart profiles_;
};

}  // namespace qm::studio::testing
