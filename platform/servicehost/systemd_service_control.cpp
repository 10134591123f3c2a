#include "platform/servicehost/systemd_service_control.h"

#include <sdbus-c++/sdbus-c++.h>

#include <chrono>
#include <cstdlib>
#include <limits>

#include "platform/servicehost/file_errors.h"
#include "platform/servicehost/unit_journal.h"

namespace qm::servicehost {
namespace {

constexpr const char* kSystemd = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kManagerInterface = "org.freedesktop.systemd1.Manager";
constexpr const char* kUnitInterface = "org.freedesktop.systemd1.Unit";
constexpr const char* kServiceInterface = "org.freedesktop.systemd1.Service";
constexpr const char* kJobInterface = "org.freedesktop.systemd1.Job";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr long ERROR_INVALID_NAME = 123;

// Every call is answered at once by systemd; one that isn't is a manager in trouble.
constexpr std::chrono::seconds kCallTimeout{10};

using JobReference = sdbus::Struct<std::uint32_t, sdbus::ObjectPath>;

bool validServiceName(const std::string& name) {
    if (name.empty() || name.size() > 200) {
        return false;
    }
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '@' ||
                           c == ':';
        if (!plain) {
            return false;
        }
    }
    return true;
}

std::uint32_t toMilliseconds(std::uint64_t usec) {
    const std::uint64_t ms = usec / 1000;
    return ms > std::numeric_limits<std::uint32_t>::max()
               ? std::numeric_limits<std::uint32_t>::max()
               : static_cast<std::uint32_t>(ms);
}

sdbus::Variant getProperty(sdbus::IProxy& proxy, const char* interface, const char* name) {
    sdbus::Variant value;
    proxy.callMethod("Get")
        .onInterface(kProperties)
        .withTimeout(kCallTimeout)
        .withArguments(interface, name)
        .storeResultsTo(value);
    return value;
}

template <typename T>
T propertyOr(sdbus::IProxy& proxy, const char* interface, const char* name, T fallback) {
    try {
        const sdbus::Variant value = getProperty(proxy, interface, name);
        if (value.containsValueOfType<T>()) {
            return value.get<T>();
        }
    } catch (const sdbus::Error&) {
        // A property this systemd doesn't have: the fallback.
    }
    return fallback;
}

class SystemdService final : public ControlledService {
  public:
    SystemdService(std::shared_ptr<sdbus::IConnection> connection, std::string unitName,
                   const sdbus::ObjectPath& unitPath)
        : connection_(std::move(connection)),
          unitName_(std::move(unitName)),
          manager_(sdbus::createProxy(*connection_, kSystemd, kManagerPath)),
          unit_(sdbus::createProxy(*connection_, kSystemd, unitPath)) {}

    long queryStatus(ServiceStatus& status) override {
        UnitSnapshot unit;
        if (const long error = read(unit); error != ERROR_SUCCESS) {
            return error;
        }
        status.state = serviceStateOf(unit);
        status.checkPoint = progress_.update(unit, status.state);
        switch (status.state) {
            case ServiceState::StartPending:
                status.waitHint = toMilliseconds(unit.timeoutStartUsec);
                break;
            case ServiceState::StopPending:
                status.waitHint = toMilliseconds(unit.timeoutStopUsec);
                break;
            default:
                status.waitHint = 0;
                break;
        }
        return ERROR_SUCCESS;
    }

    long start() override { return queueJob("StartUnit", startJob_); }

    long stop(ServiceStatus& status) override {
        if (const long error = queueJob("StopUnit", stopJob_); error != ERROR_SUCCESS) {
            return error;
        }
        return queryStatus(status);
    }

    std::string describeState() override {
        UnitSnapshot unit;
        return read(unit) == ERROR_SUCCESS ? describeUnit(unit) : std::string();
    }

    std::string lastErrorLine() override {
        const std::string invocation = invocationId();
        return lastUnitJournalError(unitName_, invocation);
    }

  private:
    long queueJob(const char* method, sdbus::ObjectPath& job) {
        try {
            manager_->callMethod(method)
                .onInterface(kManagerInterface)
                .withTimeout(kCallTimeout)
                .withArguments(unitName_, std::string("replace"))
                .storeResultsTo(job);
        } catch (const sdbus::Error& e) {
            return win32ErrorOfBusError(e.getName());
        }
        return ERROR_SUCCESS;
    }

    long read(UnitSnapshot& unit) {
        try {
            unit.activeState =
                getProperty(*unit_, kUnitInterface, "ActiveState").get<std::string>();
            unit.subState = getProperty(*unit_, kUnitInterface, "SubState").get<std::string>();
            const auto job = getProperty(*unit_, kUnitInterface, "Job").get<JobReference>();
            unit.jobType = jobTypeOf(job);
        } catch (const sdbus::Error& e) {
            return win32ErrorOfBusError(e.getName());
        }
        unit.result = propertyOr<std::string>(*unit_, kServiceInterface, "Result", "");
        unit.statusText = propertyOr<std::string>(*unit_, kServiceInterface, "StatusText", "");
        unit.timeoutStartUsec =
            propertyOr<std::uint64_t>(*unit_, kServiceInterface, "TimeoutStartUSec", 0);
        unit.timeoutStopUsec =
            propertyOr<std::uint64_t>(*unit_, kServiceInterface, "TimeoutStopUSec", 0);
        return ERROR_SUCCESS;
    }

    // The jobs this object queued are known by their paths; another client's job is asked for
    // its type.
    std::string jobTypeOf(const JobReference& job) {
        const std::uint32_t id = job.get<0>();
        const sdbus::ObjectPath& path = job.get<1>();
        if (id == 0) {
            return {};
        }
        if (path == startJob_) {
            return "start";
        }
        if (path == stopJob_) {
            return "stop";
        }
        try {
            auto proxy = sdbus::createProxy(*connection_, kSystemd, path);
            return getProperty(*proxy, kJobInterface, "JobType").get<std::string>();
        } catch (const sdbus::Error&) {
            // The job ended meanwhile: the unit's state tells the rest.
            return {};
        }
    }

    std::string invocationId() {
        try {
            const auto bytes = getProperty(*unit_, kUnitInterface, "InvocationID")
                                   .get<std::vector<std::uint8_t>>();
            static constexpr char kHex[] = "0123456789abcdef";
            std::string text;
            for (const std::uint8_t byte : bytes) {
                text += kHex[byte >> 4];
                text += kHex[byte & 0x0F];
            }
            return text;
        } catch (const sdbus::Error&) {
            return {};
        }
    }

    std::shared_ptr<sdbus::IConnection> connection_;
    std::string unitName_;
    std::unique_ptr<sdbus::IProxy> manager_;
    std::unique_ptr<sdbus::IProxy> unit_;
    sdbus::ObjectPath startJob_;
    sdbus::ObjectPath stopJob_;
    UnitProgress progress_;
};

class SystemdManager final : public ServiceControlManager {
  public:
    explicit SystemdManager(std::shared_ptr<sdbus::IConnection> connection)
        : connection_(std::move(connection)),
          manager_(sdbus::createProxy(*connection_, kSystemd, kManagerPath)) {}

    std::unique_ptr<ControlledService> openService(const std::string& name, long& error) override {
        if (!validServiceName(name)) {
            error = ERROR_INVALID_NAME;
            return nullptr;
        }
        const std::string unitName = name + ".service";
        sdbus::ObjectPath unitPath;
        std::string loadState;
        try {
            // LoadUnit, unlike GetUnit, also finds a unit that systemd has unloaded while it was
            // stopped.
            manager_->callMethod("LoadUnit")
                .onInterface(kManagerInterface)
                .withTimeout(kCallTimeout)
                .withArguments(unitName)
                .storeResultsTo(unitPath);
            auto unit = sdbus::createProxy(*connection_, kSystemd, unitPath);
            loadState = getProperty(*unit, kUnitInterface, "LoadState").get<std::string>();
        } catch (const sdbus::Error& e) {
            error = win32ErrorOfBusError(e.getName());
            return nullptr;
        }
        if (loadState == "not-found") {
            error = ERROR_SERVICE_DOES_NOT_EXIST;
            return nullptr;
        }
        error = ERROR_SUCCESS;
        return std::make_unique<SystemdService>(connection_, unitName, unitPath);
    }

  private:
    std::shared_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> manager_;
};

bool systemdOnBus(sdbus::IConnection& connection) {
    auto bus = sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
    bool owned = false;
    bus->callMethod("NameHasOwner")
        .onInterface("org.freedesktop.DBus")
        .withTimeout(kCallTimeout)
        .withArguments(std::string(kSystemd))
        .storeResultsTo(owned);
    return owned;
}

}  // namespace

ServiceState serviceStateOf(const UnitSnapshot& unit) {
    if (unit.jobType == "start" || unit.jobType == "restart") {
        return ServiceState::StartPending;
    }
    if (unit.jobType == "stop") {
        return ServiceState::StopPending;
    }
    if (unit.activeState == "active" || unit.activeState == "reloading") {
        return ServiceState::Running;
    }
    if (unit.activeState == "activating") {
        return unit.subState == "auto-restart" ? ServiceState::Stopped : ServiceState::StartPending;
    }
    if (unit.activeState == "deactivating") {
        return ServiceState::StopPending;
    }
    return ServiceState::Stopped;
}

std::string describeUnit(const UnitSnapshot& unit) {
    std::string words = unit.activeState.empty() ? std::string("unknown") : unit.activeState;
    if (unit.activeState == "failed") {
        if (!unit.result.empty() && unit.result != "success") {
            words += " (Result: " + unit.result + ")";
        }
    } else if (!unit.subState.empty() && unit.subState != unit.activeState) {
        words += " (" + unit.subState + ")";
    }
    if (!unit.jobType.empty()) {
        words += ", " + unit.jobType + " job pending";
    }
    return words;
}

long win32ErrorOfBusError(const std::string& errorName) {
    if (errorName == "org.freedesktop.DBus.Error.AccessDenied" ||
        errorName == "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired" ||
        errorName == "org.freedesktop.DBus.Error.AuthFailed") {
        return ERROR_ACCESS_DENIED;
    }
    if (errorName == "org.freedesktop.systemd1.NoSuchUnit" ||
        errorName == "org.freedesktop.DBus.Error.UnknownObject") {
        return ERROR_SERVICE_DOES_NOT_EXIST;
    }
    if (errorName == "org.freedesktop.systemd1.UnitMasked") {
        return ERROR_SERVICE_DISABLED;
    }
    if (errorName == "org.freedesktop.DBus.Error.NoReply" ||
        errorName == "org.freedesktop.DBus.Error.Timeout" ||
        errorName == "org.freedesktop.DBus.Error.TimedOut") {
        return ERROR_SERVICE_REQUEST_TIMEOUT;
    }
    if (errorName == "org.freedesktop.DBus.Error.ServiceUnknown" ||
        errorName == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
        errorName == "org.freedesktop.DBus.Error.Disconnected") {
        return RPC_S_SERVER_UNAVAILABLE;
    }
    return ERROR_GEN_FAILURE;
}

std::uint32_t UnitProgress::update(const UnitSnapshot& unit, ServiceState state) {
    if (state != ServiceState::StartPending && state != ServiceState::StopPending) {
        last_.clear();
        checkPoint_ = 0;
        return 0;
    }
    std::string now = unit.activeState;
    for (const std::string* part : {&unit.subState, &unit.jobType, &unit.statusText}) {
        now += '\n';
        now += *part;
    }
    if (!last_.empty() && now != last_) {
        ++checkPoint_;
    }
    last_ = std::move(now);
    return checkPoint_;
}

SystemdServiceControlConnector::SystemdServiceControlConnector(std::optional<std::string> address)
    : address_(std::move(address)) {}

std::optional<std::string> SystemdServiceControlConnector::addressFromEnvironment() {
    const char* address = std::getenv("QM_SYSTEMD_ADDRESS");
    if (address == nullptr || *address == '\0') {
        return std::nullopt;
    }
    return std::string(address);
}

std::unique_ptr<ServiceControlManager> SystemdServiceControlConnector::openManager(long& error) {
    try {
        std::shared_ptr<sdbus::IConnection> connection =
            address_ ? sdbus::createSessionBusConnectionWithAddress(*address_)
                     : sdbus::createSystemBusConnection();
        if (!systemdOnBus(*connection)) {
            error = RPC_S_SERVER_UNAVAILABLE;
            return nullptr;
        }
        error = ERROR_SUCCESS;
        return std::make_unique<SystemdManager>(std::move(connection));
    } catch (const sdbus::Error& e) {
        error = e.getName() == "org.freedesktop.DBus.Error.AccessDenied" ? ERROR_ACCESS_DENIED
                                                                         : RPC_S_SERVER_UNAVAILABLE;
        return nullptr;
    }
}

}  // namespace qm::servicehost
