#include "service/com/service_module.h"

#include <new>

#include "service/com/com_registration.h"

namespace qm::com {
namespace {

using servicehost::ControlSource;
using servicehost::ServiceControl;
using servicehost::ServiceState;

// Win32 ERROR_FAILED_SERVICE_CONTROLLER_CONNECT: the service manager's controls can't be had.
constexpr std::int32_t kErrorNoControls = 1063;

// How long the message loop waits at a time; the quit message ends any wait at once.
constexpr Duration kLoopWaitSlice = std::chrono::hours(1);

}  // namespace

CServiceModule::CServiceModule(ModuleContext context)
    : context_(std::move(context)), mainThreadQueue_(context_.clock) {}

sdk::HRESULT CServiceModule::Start(std::string_view commandLine) {
    std::vector<std::string> arguments;
    try {
        arguments = splitCommandLine(commandLine);
    } catch (const std::bad_alloc&) {
        return sdk::E_OUTOFMEMORY;
    }
    silent_ = false;
    usageShown_ = false;

    const CommandLinePlan plan = planCommandLine(
        arguments, [this](std::string_view name) { return ParseCustomSwitch(name); });
    sdk::HRESULT kept = sdk::S_OK;
    for (const CommandStep& step : plan.steps) {
        silent_ = step.silent;
        switch (step.kind) {
            case CommandStep::Kind::Install:
                kept = Install();
                break;
            case CommandStep::Kind::Uninstall:
                kept = Uninstall();
                break;
            case CommandStep::Kind::Usage:
                return showUsage(step);
        }
    }
    silent_ = plan.silent;
    if (plan.lastAction && *plan.lastAction >= SwitchAction::Install) {
        return kept;
    }

    const long registration = queryServiceRegistration(context_.store);
    const bool runApp = plan.lastAction == SwitchAction::Runapp;
    if (registration != 0 && !runApp) {
        return static_cast<sdk::HRESULT>(registration);
    }
    if (!takeRuntimeOptions(plan)) {
        return sdk::E_INVALIDARG;
    }
    ServiceMain(runApp ? ControlSource::Application : ControlSource::Service);
    return exitCode_;
}

sdk::HRESULT CServiceModule::showUsage(const CommandStep& step) {
    if (!step.silent) {
        if (!step.error.empty()) {
            context_.errors << GetServiceName() << ": " << step.error << '\n';
        }
        context_.errors << loadString(GetUsageStringId()) << '\n';
        usageShown_ = true;
    }
    return sdk::E_INVALIDARG;
}

// The bus of the command line, else the one of QM_DBUS_ADDRESS, else the system bus.
bool CServiceModule::takeRuntimeOptions(const CommandLinePlan& plan) {
    runtimeOptions_ = RuntimeOptions{};
    if (plan.simulate) {
        runtimeOptions_.simulate = *plan.simulate;
    }
    if (plan.sound) {
        if (!plan.simulate) {
            if (!silent_) {
                context_.errors << GetServiceName() << ": --sound is for --simulate only\n";
            }
            return false;
        }
        runtimeOptions_.sound = plan.sound;
    }
    runtimeOptions_.record = plan.record.value_or("");
    runtimeOptions_.replay = plan.replay.value_or("");
    if (plan.bus) {
        runtimeOptions_.bus = *plan.bus;
        return true;
    }
    const std::optional<std::string> fromEnvironment =
        context_.environment ? context_.environment(kBusEnvironmentVariable) : std::nullopt;
    if (!fromEnvironment || fromEnvironment->empty()) {
        return true;
    }
    std::string error;
    const std::optional<BusChoice> bus = parseBusChoice(*fromEnvironment, error);
    if (!bus) {
        if (!silent_) {
            context_.errors << GetServiceName() << ": " << kBusEnvironmentVariable << ": " << error
                            << '\n';
        }
        return false;
    }
    runtimeOptions_.bus = *bus;
    return true;
}

sdk::HRESULT CServiceModule::Install() {
    sdk::HRESULT hr = Uninstall();
    if (sdk::FAILED(hr)) {
        return hr;
    }
    ComRegistration registration(context_.store);
    hr = registration.registerAppId();
    if (sdk::FAILED(hr)) {
        return hr;
    }
    hr = registration.registerService(GetServiceName(), kServiceParameters);
    if (sdk::FAILED(hr)) {
        return hr;
    }
    // A service that survived the removal above stays as it is.
    if (!context_.installer.serviceExists()) {
        const long status = context_.installer.createService();
        if (status != 0) {
            return sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(status));
        }
    }
    return registration.registerClasses(context_.modulePath);
}

sdk::HRESULT CServiceModule::Uninstall() {
    ComRegistration registration(context_.store);
    const sdk::HRESULT appIdResult = registration.unregisterAppId();
    sdk::HRESULT serviceResult = sdk::S_OK;
    if (context_.installer.serviceExists()) {
        const long status = context_.installer.deleteService();
        serviceResult = sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(status));
    }
    const sdk::HRESULT classesResult = registration.unregisterClasses();
    if (sdk::FAILED(appIdResult)) {
        return appIdResult;
    }
    if (sdk::FAILED(serviceResult)) {
        return serviceResult;
    }
    return classesResult;
}

void CServiceModule::ServiceMain(ControlSource source) {
    state_.store(ServiceState::StartPending);
    const bool registered = context_.host.registerControlHandler(
        source, [this](ServiceControl control) { return Handler(control); });
    if (!registered) {
        context_.errors << GetServiceName() << ": the service manager's stop controls can't be "
                        << "received, so the service doesn't run\n";
        exitCode_ = sdk::HRESULT_FROM_WIN32(kErrorNoControls);
        state_.store(ServiceState::Stopped);
        return;
    }
    setServiceStatus(ServiceState::StartPending);
    exitCode_ = sdk::S_OK;
    const sdk::HRESULT result = Run();
    // A run that couldn't start is no success, whatever a service manager would be told.
    if (sdk::FAILED(result)) {
        exitCode_ = result;
    }
    setServiceStatus(ServiceState::Stopped);
    context_.host.unregisterControlHandler();
}

sdk::HRESULT CServiceModule::Run() {
    deviceManager_.reset();
    const RuntimeContext runtimeContext{runtimeOptions_, context_.store, context_.clock,
                                        context_.errors};
    std::unique_ptr<ServerRuntime> runtime =
        context_.runtimeFactory ? context_.runtimeFactory(runtimeContext) : nullptr;
    if (!runtime) {
        return sdk::E_FAIL;
    }
    const sdk::HRESULT registered = runtime->registerClassObjects();
    if (sdk::FAILED(registered)) {
        return registered;
    }
    {
        // A stop that came during the start-up stands: the service doesn't claim to run again.
        std::lock_guard guard(statusMutex_);
        if (state_.load() == ServiceState::StartPending) {
            setServiceStatus(ServiceState::Running);
        }
    }

    deviceManager_ = runtime->createDeviceManager();
    if (deviceManager_) {
        const bool notifications = runtime->registerEndpointNotifications(deviceManager_);
        static_cast<void>(deviceManager_->WriteLog(notifications ? sdk::leInfo : sdk::leError,
                                                   "RUN - RegisterEndpointNotificationCallback"));
    } else {
        context_.errors << GetServiceName()
                        << ": the device manager could not be created; serving without it\n";
    }

    runMessageLoop();

    if (deviceManager_) {
        static_cast<void>(deviceManager_->NotifyRelease());
        context_.clock.sleepFor(kReleasePause);
        deviceManager_.reset();
    }
    runtime->revokeClassObjects();
    runtime.reset();
    return sdk::S_OK;
}

std::uint32_t CServiceModule::Handler(ServiceControl control) {
    if (control == ServiceControl::Stop || control == ServiceControl::Shutdown) {
        stop();
    }
    return 0;
}

std::uint32_t CServiceModule::stop() {
    setServiceStatus(ServiceState::StopPending);
    mainThreadQueue_.post(ThreadMessage::Quit);
    return 0;
}

void CServiceModule::setServiceStatus(ServiceState state) {
    std::lock_guard guard(statusMutex_);
    state_.store(state);
    context_.host.reportStatus(state);
}

void CServiceModule::runMessageLoop() {
    while (true) {
        const std::optional<ThreadMessage> message =
            mainThreadQueue_.waitUntil(context_.clock.now() + kLoopWaitSlice);
        if (message == ThreadMessage::Quit) {
            return;
        }
    }
}

}  // namespace qm::com
