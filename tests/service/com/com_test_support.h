#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "common/sdk/identifiers.h"
#include "common/text/text.h"
#include "platform/registry/store.h"
#include "platform/servicehost/fake/fake_service_host.h"
#include "platform/servicehost/servicehost_test_support.h"
#include "platform/servicehost/systemd_installer.h"
#include "service/com/server_runtime.h"
#include "service/com/service_definition.h"
#include "service/com/service_module.h"
#include "support/table_fakes.h"

namespace qm::com::testing {

using servicehost::testing::TempFolder;

// One ordered list of what happened, written from any thread.
class Recorder {
  public:
    void add(std::string event) {
        std::lock_guard guard(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> events() const {
        std::lock_guard guard(mutex_);
        return events_;
    }
    bool contains(const std::string& event) const {
        std::lock_guard guard(mutex_);
        return std::ranges::find(events_, event) != events_.end();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

inline long long millisecondsOf(const Clock& clock) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock.now().time_since_epoch())
        .count();
}

// A device manager that records what the module does with it (it logs and announces its
// release), with the clock's time.
class FakeDeviceManager final : public sdk::testing::ManagerDefaults {
  public:
    FakeDeviceManager(Recorder& recorder, Clock& clock) : recorder_(recorder), clock_(clock) {}
    ~FakeDeviceManager() override {
        recorder_.add(text::format("manager released at %lld ms", millisecondsOf(clock_)));
    }
    FakeDeviceManager(const FakeDeviceManager&) = delete;
    FakeDeviceManager& operator=(const FakeDeviceManager&) = delete;

    sdk::HRESULT WriteLog(sdk::qmLogEventType type, const std::string& str) override {
        recorder_.add(text::format("WriteLog %d %s", static_cast<int>(type), str.c_str()));
        return sdk::S_OK;
    }
    sdk::HRESULT NotifyRelease() override {
        recorder_.add(text::format("NotifyRelease at %lld ms", millisecondsOf(clock_)));
        return sdk::S_OK;
    }

  private:
    Recorder& recorder_;
    Clock& clock_;
};

// How the fake runtime behaves, and what it saw.
struct RuntimeScript {
    sdk::HRESULT registerResult = sdk::S_OK;
    bool createsManager = true;
    bool endpointRegistrationSucceeds = true;
    // A client's reference to the manager, taken when it is created.
    bool clientHoldsManager = false;

    int made = 0;
    std::optional<RuntimeOptions> options;
    std::shared_ptr<sdk::IQuillmereSDK> clientReference;
    std::weak_ptr<sdk::IQuillmereSDK> manager;
};

class FakeRuntime final : public ServerRuntime {
  public:
    FakeRuntime(RuntimeScript& script, Recorder& recorder, Clock& clock)
        : script_(script), recorder_(recorder), clock_(clock) {}
    ~FakeRuntime() override { recorder_.add("runtime closed"); }
    FakeRuntime(const FakeRuntime&) = delete;
    FakeRuntime& operator=(const FakeRuntime&) = delete;

    sdk::HRESULT registerClassObjects() override {
        recorder_.add("registerClassObjects");
        return script_.registerResult;
    }
    std::shared_ptr<sdk::IQuillmereSDK> createDeviceManager() override {
        recorder_.add("createDeviceManager");
        if (!script_.createsManager) {
            return nullptr;
        }
        auto manager = std::make_shared<FakeDeviceManager>(recorder_, clock_);
        script_.manager = manager;
        if (script_.clientHoldsManager) {
            script_.clientReference = manager;
        }
        return manager;
    }
    bool registerEndpointNotifications(
        const std::shared_ptr<sdk::IQuillmereSDK>& manager) override {
        recorder_.add(manager == script_.manager.lock() ? "registerEndpointNotifications"
                                                        : "registerEndpointNotifications(other)");
        return script_.endpointRegistrationSucceeds;
    }
    void revokeClassObjects() override { recorder_.add("revokeClassObjects"); }

  private:
    RuntimeScript& script_;
    Recorder& recorder_;
    Clock& clock_;
};

// A module with fakes around it: a temporary registry, a staging install root, a fake service
// host whose reports go into the recorder, a virtual clock, the fake runtime and a captured
// standard error.
class ModuleRig {
  public:
    static constexpr const char* kExecutable = "/opt/quillmere/bin/qmMicHost";

    ModuleRig()
        : store_(registry::StoreLocations::inFolder(folder_.path() / "registry", "tester")),
          installer_(folder_.path() / "root", serviceDefinition(kExecutable), commands_) {
        host_.onReport([this](servicehost::ServiceState state) {
            recorder_.add(std::string("report ") + servicehost::serviceStateName(state));
            if (state == stopWhenReported_) {
                host_.sendControl(servicehost::ServiceControl::Stop);
            }
        });
    }

    CServiceModule& module() {
        if (!module_) {
            module_ = std::make_unique<CServiceModule>(ModuleContext{
                store_, host_, installer_, clock_,
                [this](const RuntimeContext& context) -> std::unique_ptr<ServerRuntime> {
                    ++script_.made;
                    script_.options = context.options;
                    return std::make_unique<FakeRuntime>(script_, recorder_, clock_);
                },
                errors_, kExecutable,
                [this](const char* name) -> std::optional<std::string> {
                    const auto it = environment_.find(name);
                    if (it == environment_.end()) {
                        return std::nullopt;
                    }
                    return it->second;
                }});
        }
        return *module_;
    }

    // Runs ServiceMain on a thread of its own, sends the stop control once that thread waits in
    // its message loop, and returns when ServiceMain has returned. Only for runs that reach the
    // loop.
    void serveUntilStoppedInTheLoop(servicehost::ControlSource source) {
        stopWhenReported_.reset();
        std::thread service([&] { module().ServiceMain(source); });
        clock_.awaitBlocked(1);
        host_.sendControl(servicehost::ServiceControl::Stop);
        service.join();
    }

    // The fake service manager sends a stop as soon as the module reports `state` (by default
    // RUNNING), on the reporting thread.
    void stopWhenReported(std::optional<servicehost::ServiceState> state) {
        stopWhenReported_ = state;
    }

    std::filesystem::path installRoot() const { return folder_.path() / "root"; }
    registry::Store& store() { return store_; }
    servicehost::FakeServiceHost& host() { return host_; }
    servicehost::SystemdInstaller& installer() { return installer_; }
    servicehost::testing::RecordingCommandRunner& commands() { return commands_; }
    VirtualClock& clock() { return clock_; }
    RuntimeScript& script() { return script_; }
    Recorder& recorder() { return recorder_; }
    std::string errors() const { return errors_.str(); }
    std::map<std::string, std::string>& environment() { return environment_; }

  private:
    TempFolder folder_;
    registry::Store store_;
    servicehost::testing::RecordingCommandRunner commands_;
    servicehost::SystemdInstaller installer_;
    servicehost::FakeServiceHost host_;
    VirtualClock clock_;
    Recorder recorder_;
    RuntimeScript script_;
    std::ostringstream errors_;
    std::map<std::string, std::string> environment_;
    std::optional<servicehost::ServiceState> stopWhenReported_ = servicehost::ServiceState::Running;
    std::unique_ptr<CServiceModule> module_;
};

}  // namespace qm::com::testing
