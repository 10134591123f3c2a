#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "common/runtime/clock.h"
#include "common/runtime/message_queue.h"
#include "common/sdk/hresult.h"
#include "common/sdk/interfaces.h"
#include "platform/registry/store.h"
#include "platform/servicehost/service_host.h"
#include "platform/servicehost/service_installer.h"
#include "service/com/command_line.h"
#include "service/com/runtime_options.h"
#include "service/com/server_runtime.h"
#include "service/com/service_identity.h"
#include "service/com/string_resources.h"

namespace qm::com {

// What the module works with; main() passes the real ones, tests their fakes.
struct ModuleContext {
    registry::Store& store;                    // HKEY_CLASSES_ROOT registrations
    servicehost::ServiceHost& host;            // states and controls while running
    servicehost::ServiceInstaller& installer;  // the service manager's side of install
    Clock& clock;                              // the pause before releasing the device manager
    ServerRuntimeFactory runtimeFactory;       // the server of one run
    std::ostream& errors;                      // standard error: usage text, failure lines
    std::string modulePath;                    // full path of the executable
    // Reads an environment variable (QM_DBUS_ADDRESS); null reads nothing.
    std::function<std::optional<std::string>(const char* name)> environment;
};

// The process of qmMicHost: reads the command line, installs and uninstalls the service with its
// registrations, and runs the server as a service or as an application until it is stopped,
// shutting down in a fixed order.
class CServiceModule {
  public:
    // Between NotifyRelease and releasing the device manager, so clients can let go first.
    static constexpr Duration kReleasePause = std::chrono::milliseconds(100);

    explicit CServiceModule(ModuleContext context);
    CServiceModule(const CServiceModule&) = delete;
    CServiceModule& operator=(const CServiceModule&) = delete;

    // The whole process for one command line (see process_exit.h for what the result means):
    // 1. split it into at most 16 arguments; clear the silent flag;
    // 2. work through the switches (command_line.h): install and uninstall run where they
    //    stand, a bad switch or help shows the usage (unless silent) and returns E_INVALIDARG;
    // 3. after Install or Uninstall as the last action, return the last one's result;
    // 4. registered as a service (queryServiceRegistration) and no Runapp: run as the service;
    //    Runapp: run as an application; otherwise return the registry's code.
    // After a run the result is the status record's exit code.
    sdk::HRESULT Start(std::string_view commandLine);
    bool IsSilent() const { return silent_; }
    // True when the last Start showed the usage text: that is all the user is told.
    bool UsageShown() const { return usageShown_; }

    const char* GetServiceName() const { return kServiceName; }
    unsigned GetUsageStringId() const { return IDS_USAGE; }
    unsigned GetDescriptionStringId() const { return IDS_SERVICE_DESCRIPTION; }
    // No switches beyond the table.
    int ParseCustomSwitch(std::string_view /*name*/) const { return 0; }

    // Uninstalls first (failing with its result), registers the AppID and the service values,
    // creates the service unless one exists, registers the classes; the first failure or S_OK.
    sdk::HRESULT Install();
    // Removes the AppID's keys (A), deletes the service if it exists (B), removes the classes
    // (C); returns A if it failed, else B if it failed, else C.
    sdk::HRESULT Uninstall();

    // One run under the service host: registers the control handler for `source` (failing:
    // nothing runs and the exit code records it), reports START_PENDING, calls Run, records a
    // failed Run as the exit code, reports STOPPED.
    void ServiceMain(servicehost::ControlSource source);
    // The server's life, on the calling thread (the main thread): makes the runtime, registers
    // the class objects (a failure returns at once), reports RUNNING, creates the device
    // manager and, when there is one, registers the endpoint notifications and writes
    // "RUN - RegisterEndpointNotificationCallback" to its log (leInfo, or leError when the
    // registration failed); waits for the quit message; then NotifyRelease, the release pause,
    // the manager's release, the class objects' revocation and the runtime's end.
    sdk::HRESULT Run();
    // The control handler: a stop or shutdown control reports STOP_PENDING and posts the quit
    // message to the main thread. Every control returns 0.
    std::uint32_t Handler(servicehost::ServiceControl control);

    const RuntimeOptions& runtimeOptions() const { return runtimeOptions_; }
    servicehost::ServiceState currentState() const { return state_.load(); }
    sdk::HRESULT exitCode() const { return exitCode_; }

  private:
    enum class ThreadMessage { Quit };

    sdk::HRESULT showUsage(const CommandStep& step);
    bool takeRuntimeOptions(const CommandLinePlan& plan);
    void setServiceStatus(servicehost::ServiceState state);
    void runMessageLoop();
    std::uint32_t stop();

    ModuleContext context_;
    bool silent_ = false;
    bool usageShown_ = false;
    RuntimeOptions runtimeOptions_;
    // Held while the state changes and is reported, so reports keep the order of the changes.
    // Recursive because a service manager may answer a report with a control at once, on the
    // reporting thread.
    std::recursive_mutex statusMutex_;
    std::atomic<servicehost::ServiceState> state_{servicehost::ServiceState::Stopped};
    sdk::HRESULT exitCode_ = sdk::S_OK;
    MessageQueue<ThreadMessage> mainThreadQueue_;
    std::shared_ptr<sdk::IQuillmereSDK> deviceManager_;
};

}  // namespace qm::com
