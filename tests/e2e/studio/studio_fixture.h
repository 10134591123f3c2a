#pragma once

// The studio against the real service: a private bus, qmMicHost serving virtual microphones, and
// the studio's application object with its main frame on the offscreen platform.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>

#include "common/ipc/bus_names.h"
#include "common/ipc/client.h"
#include "common/ipc/service_name_watch.h"
#include "common/ipc/simulator_control.h"
#include "event_pump.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/temp_registry.h"
#include "studio/shell/dbus_service_connector.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "support/child_process.h"
#include "support/private_bus.h"

namespace qm::studio::testing {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kFourMicrophones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003,Rowan:SN1004";

class NoEndpoints final : public AudioEndpoints {
  public:
    std::optional<std::string> captureEndpointFor(const sdk::Guid&) override {
        return std::nullopt;
    }
};

// Every microphone's sound is found: for tests of the panels and the profiles, which are filled
// only once it is.
class AnyEndpoint final : public AudioEndpoints {
  public:
    std::optional<std::string> captureEndpointFor(const sdk::Guid&) override { return "source"; }
};

class StudioAgainstServiceTest : public ::testing::Test {
  protected:
    StudioAgainstServiceTest() = default;
    ~StudioAgainstServiceTest() override {
        app_.reset();
        if (service_) {
            service_->terminate();
        }
    }

    // qmMicHost serving the given virtual microphones on the test's bus, its registry and logs
    // in the test's folder; returns once it has taken its name on the bus (the studio waits for
    // its device manager by itself).
    void startService(const char* microphones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003") {
        std::mutex mutex;
        std::condition_variable changed;
        bool present = false;
        ipc::ClientOptions options;
        options.bus = ipc::BusAddress::explicitAddress(bus_.address());
        const auto watch = ipc::watchServiceName(options, [&](bool now) {
            std::lock_guard guard(mutex);
            present = now;
            changed.notify_all();
        });
        ASSERT_NE(watch, nullptr);
        ::setenv("QM_REGISTRY_DIR", (serviceFolder_.path() / "registry").c_str(), 1);
        ::setenv("QM_LOG_DIR", (serviceFolder_.path() / "logs").c_str(), 1);
        service_ = std::make_unique<qm::testing::ChildProcess>(std::vector<std::string>{
            QM_MICHOST_PATH, "-Runapp", "--bus", bus_.address(), "--simulate", microphones});
        ::unsetenv("QM_REGISTRY_DIR");
        ::unsetenv("QM_LOG_DIR");
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return present; }))
            << "the service did not come on the bus";
    }

    // The studio with its main frame; `adjust` may plug more parts into its environment.
    CMainFrame& startStudio(const std::function<void(StudioEnvironment&)>& adjust = {}) {
        registry::Key devices;
        EXPECT_EQ(studioRegistry_.store->createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                                                   registry::Access::ReadWrite, devices),
                  registry::ERROR_SUCCESS);
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

    qm::testing::PrivateBus bus_;
    TempFolder serviceFolder_;
    std::unique_ptr<qm::testing::ChildProcess> service_;
    TempRegistry studioRegistry_;
    DbusServiceConnector connector_{ipc::BusAddress::explicitAddress(bus_.address())};
    NoEndpoints endpoints_;
    RecordingPrompts prompts_;
    RecordingLinks links_;
    std::unique_ptr<CTonecraftApp> app_;
};

}  // namespace qm::studio::testing
