#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/runtime/clock.h"
#include "common/runtime/event.h"
#include "platform/servicehost/signal_controls.h"
#include "platform/servicehost/systemd_service_host.h"

namespace qm::servicehost {
namespace {

constexpr auto kBound = std::chrono::seconds(10);

// Counts stop controls and remembers the thread they arrived on.
struct ControlLog {
    Event arrived{Clock::real()};
    std::atomic<int> stops{0};
    std::atomic<bool> onCallerThread{false};
    std::thread::id caller = std::this_thread::get_id();

    ServiceHost::ControlHandler handler() {
        return [this](ServiceControl control) -> std::uint32_t {
            if (control == ServiceControl::Stop) {
                stops.fetch_add(1);
            }
            if (std::this_thread::get_id() == caller) {
                onCallerThread.store(true);
            }
            arrived.set();
            return 0;
        };
    }
};

sighandler_t currentHandler(int signal) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

// Puts a signal's disposition back at the end of a test.
class DispositionGuard {
  public:
    explicit DispositionGuard(int signal) : signal_(signal) { sigaction(signal, nullptr, &saved_); }
    ~DispositionGuard() { sigaction(signal_, &saved_, nullptr); }
    DispositionGuard(const DispositionGuard&) = delete;
    DispositionGuard& operator=(const DispositionGuard&) = delete;

  private:
    int signal_;
    struct sigaction saved_ {};
};

TEST(SignalControls, EveryTermIsOneStopOnTheControlThread) {
    DispositionGuard term(SIGTERM);
    ControlLog log;
    SignalControls controls;
    ASSERT_TRUE(controls.start(ControlSource::Service, log.handler()));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(raise(SIGTERM), 0);
        ASSERT_TRUE(log.arrived.waitFor(kBound));
    }
    controls.stop();
    EXPECT_FALSE(controls.running());
    EXPECT_EQ(log.stops.load(), 3);
    EXPECT_FALSE(log.onCallerThread.load());
}

TEST(SignalControls, AnApplicationAlsoStopsOnInterrupt) {
    DispositionGuard term(SIGTERM);
    DispositionGuard interrupt(SIGINT);
    ControlLog log;
    SignalControls controls;
    ASSERT_TRUE(controls.start(ControlSource::Application, log.handler()));
    ASSERT_EQ(raise(SIGINT), 0);
    ASSERT_TRUE(log.arrived.waitFor(kBound));
    ASSERT_EQ(raise(SIGTERM), 0);
    ASSERT_TRUE(log.arrived.waitFor(kBound));
    controls.stop();
    EXPECT_EQ(log.stops.load(), 2);
}

TEST(SignalControls, AServiceLeavesInterruptAlone) {
    DispositionGuard term(SIGTERM);
    DispositionGuard interrupt(SIGINT);
    signal(SIGINT, SIG_IGN);
    ControlLog log;
    SignalControls controls;
    ASSERT_TRUE(controls.start(ControlSource::Service, log.handler()));
    EXPECT_EQ(currentHandler(SIGINT), SIG_IGN);
    EXPECT_NE(currentHandler(SIGTERM), SIG_IGN);
    controls.stop();
}

TEST(SignalControls, StopPutsThePreviousHandlersBack) {
    DispositionGuard term(SIGTERM);
    DispositionGuard interrupt(SIGINT);
    signal(SIGTERM, SIG_IGN);
    signal(SIGINT, SIG_IGN);
    ControlLog log;
    {
        SignalControls controls;
        ASSERT_TRUE(controls.start(ControlSource::Application, log.handler()));
        EXPECT_NE(currentHandler(SIGTERM), SIG_IGN);
        EXPECT_NE(currentHandler(SIGINT), SIG_IGN);
    }  // the destructor stops
    EXPECT_EQ(currentHandler(SIGTERM), SIG_IGN);
    EXPECT_EQ(currentHandler(SIGINT), SIG_IGN);
    // Ignored again: raising reaches nobody.
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_EQ(log.stops.load(), 0);
}

TEST(SignalControls, OnlyOneRunsAtATimeAndTheNextOneStartsClean) {
    DispositionGuard term(SIGTERM);
    ControlLog first;
    ControlLog second;
    SignalControls a;
    SignalControls b;
    ASSERT_TRUE(a.start(ControlSource::Service, first.handler()));
    EXPECT_FALSE(b.start(ControlSource::Service, second.handler()));
    EXPECT_FALSE(a.start(ControlSource::Service, second.handler()));
    a.stop();

    ASSERT_TRUE(b.start(ControlSource::Service, second.handler()));
    ASSERT_EQ(raise(SIGTERM), 0);
    ASSERT_TRUE(second.arrived.waitFor(kBound));
    b.stop();
    EXPECT_EQ(first.stops.load(), 0);
    EXPECT_EQ(second.stops.load(), 1);
}

TEST(SignalControls, StopWithoutStartAndAnEmptyHandler) {
    SignalControls controls;
    controls.stop();
    EXPECT_FALSE(controls.start(ControlSource::Service, nullptr));
    EXPECT_FALSE(controls.running());
}

TEST(SystemdServiceHost, DeliversTermToTheRegisteredHandler) {
    DispositionGuard term(SIGTERM);
    ControlLog log;
    SystemdServiceHost host;
    ASSERT_TRUE(host.registerControlHandler(ControlSource::Service, log.handler()));
    ASSERT_EQ(raise(SIGTERM), 0);
    ASSERT_TRUE(log.arrived.waitFor(kBound));
    host.unregisterControlHandler();
    EXPECT_EQ(log.stops.load(), 1);
}

}  // namespace
}  // namespace qm::servicehost
