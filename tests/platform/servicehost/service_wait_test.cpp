#include "platform/servicehost/service_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "platform/servicehost/fake/fake_service_control.h"

namespace qm::servicehost {
namespace {

using namespace std::chrono_literals;
using State = ServiceState;

constexpr std::int32_t kDisabled = 1058;

// A pending step whose check point grows every `every` for `lasting`, then ends in `final`.
FakeServiceControl::Timeline progressing(State pending, Duration every, Duration lasting,
                                         State final, std::uint32_t waitHint = 30000) {
    return [=](Duration elapsed) {
        if (elapsed >= lasting) {
            return ServiceStatus{final, 0, 0};
        }
        return ServiceStatus{pending, static_cast<std::uint32_t>(elapsed / every) + 1, waitHint};
    };
}

FakeServiceControl::Timeline stuck(State pending, std::uint32_t waitHint = 30000) {
    return [=](Duration) { return ServiceStatus{pending, 1, waitHint}; };
}

struct WaitCase {
    std::string name;
    bool stopping;  // StopServiceAndWait, else StartServiceAndWait
    ServiceStatus initial;
    FakeServiceControl::Timeline script;  // what the start or stop sets going
    long actionError;
    sdk::HRESULT expected;
    int actions;  // starts or stops sent
    Duration minWaited;
    Duration maxWaited;
};

void PrintTo(const WaitCase& c, std::ostream* out) {
    *out << c.name;
}

class ServiceWait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(ServiceWait, EndsWithTheResultAndAfterTheTimeItShould) {
    const WaitCase& c = GetParam();
    VirtualClock clock;
    FakeServiceControl manager(clock, c.initial);
    // Without a script the fake runs or stops the service at once.
    const FakeServiceControl::Timeline script =
        c.script ? c.script : stuck(c.stopping ? State::Stopped : State::Running);
    if (c.stopping) {
        manager.onStop(script, c.actionError);
    } else {
        manager.onStart(script, c.actionError);
    }
    long error = -1;
    auto scm = manager.openManager(error);
    auto service = scm->openService("qmMicHost", error);
    ASSERT_TRUE(service);

    const TimePoint begin = clock.now();
    const ServiceWaitOptions options(clock);
    const sdk::HRESULT hr =
        c.stopping ? StopServiceAndWait(*service, options) : StartServiceAndWait(*service, options);
    const Duration waited = clock.now() - begin;

    EXPECT_EQ(static_cast<std::uint32_t>(hr), static_cast<std::uint32_t>(c.expected));
    EXPECT_EQ(c.stopping ? manager.stops() : manager.starts(), c.actions);
    EXPECT_GE(waited, c.minWaited);
    EXPECT_LE(waited, c.maxWaited);
}

const Duration kLimit = kServiceWaitLimit;
const sdk::HRESULT kHang = sdk::HRESULT_FROM_WIN32(sdk::ERROR_SERVICE_START_HANG);
const sdk::HRESULT kTimeout = sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT);

const auto kRunsAtOnce = nullptr;  // the fake runs or stops the service at once
WaitCase start(std::string name, ServiceStatus initial, FakeServiceControl::Timeline script,
               long error, sdk::HRESULT expected, int starts, Duration min, Duration max) {
    return {std::move(name), false, initial, std::move(script), error, expected, starts, min, max};
}
WaitCase stop(std::string name, ServiceStatus initial, FakeServiceControl::Timeline script,
              long error, sdk::HRESULT expected, int stops, Duration min, Duration max) {
    return {std::move(name), true, initial, std::move(script), error, expected, stops, min, max};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ServiceWait,
    ::testing::Values(
        start("StartRunningAlready", {State::Running}, kRunsAtOnce, 0, sdk::S_OK, 0, 0s, 0s),
        start("StartRunsAtOnce", {State::Stopped}, kRunsAtOnce, 0, sdk::S_OK, 1, 0s, 0s),
        // Progress every 5 s for 15 minutes: waited for well past the limit.
        start("StartKeepsProgressing", {State::Stopped},
              progressing(State::StartPending, 5s, 900s, State::Running), 0, sdk::S_OK, 1, 900s,
              910s),
        start("StartStandsStill", {State::Stopped}, stuck(State::StartPending), 0, kHang, 1, kLimit,
              kLimit + 10s),
        start("StartEndsStopped", {State::Stopped},
              progressing(State::StartPending, 1s, 20s, State::Stopped), 0, sdk::E_FAIL, 1, 20s,
              30s),
        start("StartRefused", {State::Stopped}, kRunsAtOnce, kDisabled,
              static_cast<sdk::HRESULT>(0x80070422u), 1, 0s, 0s),
        start("StartWhileStopping", {State::StopPending, 1, 3000}, kRunsAtOnce, 0,
              static_cast<sdk::HRESULT>(0x80070548u), 0, 0s, 0s),
        start("StartAlreadyPending", {State::StartPending, 1, 3000}, kRunsAtOnce, 0, kHang, 0,
              kLimit, kLimit + 10s),
        stop("StopStoppedAlready", {State::Stopped}, kRunsAtOnce, 0, sdk::S_OK, 0, 0s, 0s),
        stop("StopAtOnce", {State::Running}, kRunsAtOnce, 0, sdk::S_OK, 1, 0s, 0s),
        stop("StopAfterAWhile", {State::Running},
             progressing(State::StopPending, 1s, 42s, State::Stopped), 0, sdk::S_OK, 1, 42s, 50s),
        // Progress does not extend a stop: the limit counts from the call.
        stop("StopTimesOut", {State::Running},
             progressing(State::StopPending, 1s, 3600s, State::Stopped), 0, kTimeout, 1, kLimit,
             kLimit + 10s),
        stop("StopRefused", {State::Running}, kRunsAtOnce, 5,
             static_cast<sdk::HRESULT>(0x80070005u), 1, 0s, 0s),
        // A stop already pending is waited for without a second stop control.
        stop("StopPendingAlready", {State::StopPending, 1, 3000}, kRunsAtOnce, 0, kTimeout, 0,
             kLimit, kLimit + 2s)),
    [](const auto& param) { return param.param.name; });

TEST(ServiceWaitPolling, PollIntervalIsATenthOfTheHintWithinOneAndTenSeconds) {
    EXPECT_EQ(servicePollInterval(0), 1000ms);
    EXPECT_EQ(servicePollInterval(3000), 1000ms);
    EXPECT_EQ(servicePollInterval(45000), 4500ms);
    EXPECT_EQ(servicePollInterval(200000), 10000ms);

    // The wait sleeps the interval of the latest status's hint between its queries.
    for (const auto& [hint, interval] : {std::pair{3000u, Duration(1s)}, {200000u, 10s}}) {
        VirtualClock clock;
        FakeServiceControl manager(clock, {State::Stopped});
        manager.onStart(progressing(State::StartPending, 1s, 60s, State::Running, hint));
        long error = 0;
        auto service = manager.openManager(error)->openService("qmMicHost", error);
        ASSERT_EQ(StartServiceAndWait(*service, ServiceWaitOptions(clock)), sdk::S_OK);
        const std::vector<Duration> times = manager.queryTimes();
        ASSERT_GE(times.size(), 4u);
        for (std::size_t i = 3; i < times.size(); ++i) {
            EXPECT_EQ(times[i] - times[i - 1], interval) << hint;
        }
    }
}

TEST(ServiceWaitPolling, AFailedQueryOrAnAbandonedWaitEndsTheWait) {
    VirtualClock clock;
    FakeServiceControl manager(clock, {State::Stopped});
    manager.onStart(stuck(State::StartPending));
    long error = 0;
    auto service = manager.openManager(error)->openService("qmMicHost", error);

    ServiceWaitOptions options(clock);
    int sleeps = 0;
    options.sleep = [&](Duration) { return ++sleeps < 3; };
    EXPECT_EQ(StartServiceAndWait(*service, options), sdk::E_ABORT);
    EXPECT_EQ(sleeps, 3);

    manager.setQueryError(1722);
    EXPECT_EQ(static_cast<std::uint32_t>(StopServiceAndWait(*service, ServiceWaitOptions(clock))),
              0x800706BAu);
}

}  // namespace
}  // namespace qm::servicehost
