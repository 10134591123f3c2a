#pragma once

// The studio against the real service: a private bus, qmMicHost serving virtual microphones, and
// the studio's application object with its main frame on the offscreen platform.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "common/ipc/bus_names.h"
#include "common/ipc/client.h"
#include "common/ipc/simulator_control.h"
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

// Runs the studio's event loop until `done` holds or `limit` (real time) has passed.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs the studio's event loop for `length` of real time.
inline void runEventLoop(std::chrono::milliseconds length) {
    QEventLoop loop;
    QTimer::singleShot(length, &loop, &QEventLoop::quit);
    loop.exec();
}

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
    // in the test's folder; returns once it serves them.
    void startService(const char* microphones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003") {
        ::setenv("QM_REGISTRY_DIR", (serviceFolder_.path() / "registry").c_str(), 1);
        ::setenv("QM_LOG_DIR", (serviceFolder_.path() / "logs").c_str(), 1);
        service_ = std::make_unique<qm::testing::ChildProcess>(std::vector<std::string>{
            QM_MICHOST_PATH, "-Runapp", "--bus", bus_.address(), "--simulate", microphones});
        ::unsetenv("QM_REGISTRY_DIR");
        ::unsetenv("QM_LOG_DIR");
        waitForService();
    }

    void waitForService() {
        const auto end = Clock::now() + 10s;
        while (Clock::now() < end) {
            ipc::ClientOptions options;
            options.bus = ipc::BusAddress::explicitAddress(bus_.address());
            options.callTimeout = 500ms;
            if (auto sdk = ipc::connectToService(options);
                sdk && sdk->IsInitialize() == sdk::S_OK) {
                std::shared_ptr<sdk::IEnumQMDevice> devices;
                if (sdk->EnumQMDevice(&devices) == sdk::S_OK)
                    return;
            }
            std::this_thread::sleep_for(20ms);
        }
        FAIL() << "the service did not start serving";
    }

    // The studio with its main frame; `adjust` may plug more parts into its environment.
    CMainFrame& startStudio(const std::function<void(StudioEnvironment&)>& adjust = {}) {
        registry::Key devices;
        EXPECT_EQ(studioRegistry_.store->createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                                                   registry::Access::ReadWrite, devices),
                  registry::ERROR_SUCCESS);
        registry::writeString(devices, "ProfileFolder",
                              (studioRegistry_.folder.path() / "profiles").string());
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
