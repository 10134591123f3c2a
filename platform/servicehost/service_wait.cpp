#include "platform/servicehost/service_wait.h"

#include <algorithm>
#include <optional>

namespace qm::servicehost {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kShortestPoll{1000};
constexpr milliseconds kLongestPoll{10000};

sdk::HRESULT fromWin32(long error) {
    return sdk::HRESULT_FROM_WIN32(static_cast<std::int32_t>(error));
}

// The status reads and sleeps of one wait.
class Waiter {
  public:
    explicit Waiter(const ServiceWaitOptions& options) : options_(options) {}

    long query(ControlledService& service, ServiceStatus& status) const {
        const long error = service.queryStatus(status);
        if (error == 0 && options_.progress) {
            options_.progress(status);
        }
        return error;
    }

    // False when the wait is to be given up.
    bool sleepOnePoll(const ServiceStatus& status) const {
        const milliseconds interval = servicePollInterval(status.waitHint);
        if (options_.sleep) {
            return options_.sleep(interval);
        }
        options_.clock.sleepFor(interval);
        return true;
    }

    TimePoint now() const { return options_.clock.now(); }

  private:
    const ServiceWaitOptions& options_;
};

}  // namespace

milliseconds servicePollInterval(std::uint32_t waitHintMs) {
    return std::clamp(milliseconds(waitHintMs / 10), kShortestPoll, kLongestPoll);
}

sdk::HRESULT StartServiceAndWait(ControlledService& service, const ServiceWaitOptions& options) {
    const Waiter waiter(options);
    ServiceStatus status;
    if (const long error = waiter.query(service, status); error != 0) {
        return fromWin32(error);
    }
    switch (status.state) {
        case ServiceState::Running:
            return sdk::S_OK;
        case ServiceState::Stopped:
            if (const long error = service.start(); error != 0) {
                return fromWin32(error);
            }
            break;
        case ServiceState::StartPending:
            break;
        default:
            return sdk::HRESULT_FROM_WIN32(sdk::ERROR_INVALID_SERVICE_CONTROL);
    }

    if (const long error = waiter.query(service, status); error != 0) {
        return fromWin32(error);
    }
    if (status.state != ServiceState::StartPending) {
        return status.state == ServiceState::Running ? sdk::S_OK : sdk::E_FAIL;
    }

    // The limit counts from the last progress, so a start that keeps making progress is waited
    // for however long it takes.
    TimePoint since = waiter.now();
    std::uint32_t checkPoint = status.checkPoint;
    while (true) {
        if (waiter.now() - since > kServiceWaitLimit) {
            return sdk::HRESULT_FROM_WIN32(sdk::ERROR_SERVICE_START_HANG);
        }
        if (!waiter.sleepOnePoll(status)) {
            return sdk::E_ABORT;
        }
        if (const long error = waiter.query(service, status); error != 0) {
            return fromWin32(error);
        }
        if (status.checkPoint > checkPoint) {
            checkPoint = status.checkPoint;
            since = waiter.now();
        } else if (waiter.now() - since > kServiceWaitLimit) {
            // No progress for the whole limit: a start that hangs, not one that ended badly.
            if (status.state == ServiceState::StartPending) {
                return sdk::HRESULT_FROM_WIN32(sdk::ERROR_SERVICE_START_HANG);
            }
            break;
        }
        if (status.state != ServiceState::StartPending) {
            break;
        }
    }
    return status.state == ServiceState::Running ? sdk::S_OK : sdk::E_FAIL;
}

sdk::HRESULT StopServiceAndWait(ControlledService& service, const ServiceWaitOptions& options) {
    const Waiter waiter(options);
    const TimePoint begin = waiter.now();
    ServiceStatus status;
    // One poll of the wait: nothing while it goes on, else its result.
    const auto poll = [&]() -> std::optional<sdk::HRESULT> {
        if (!waiter.sleepOnePoll(status)) {
            return sdk::E_ABORT;
        }
        if (const long error = waiter.query(service, status); error != 0) {
            return fromWin32(error);
        }
        if (status.state == ServiceState::Stopped) {
            return sdk::S_OK;
        }
        if (waiter.now() - begin > kServiceWaitLimit) {
            return sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT);
        }
        return std::nullopt;
    };

    if (const long error = waiter.query(service, status); error != 0) {
        return fromWin32(error);
    }
    if (status.state == ServiceState::Stopped) {
        return sdk::S_OK;
    }
    while (status.state == ServiceState::StopPending) {
        if (const auto result = poll()) {
            return *result;
        }
    }

    if (const long error = service.stop(status); error != 0) {
        return fromWin32(error);
    }
    if (status.state == ServiceState::Stopped) {
        return sdk::S_OK;
    }
    while (true) {
        if (const auto result = poll()) {
            return *result;
        }
    }
}

}  // namespace qm::servicehost
