#include <gtest/gtest.h>

#include <thread>

#include "common/runtime/event.h"
#include "common/runtime/message_queue.h"
#include "common/runtime/virtual_clock.h"

using namespace std::chrono_literals;

namespace qm {
namespace {

TEST(FileTime, RoundTripsCalendarDatesIncludingLeapDays) {
    const LocalDateTime cases[] = {
        {1601, 1, 1, 0, 0, 0, 0},   {1970, 1, 1, 0, 0, 0, 0},    {2024, 2, 29, 23, 59, 59, 999},
        {2026, 12, 5, 9, 30, 1, 7}, {2100, 3, 1, 12, 0, 0, 500},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(fromFileTime(toFileTime(t)), t) << t.year << "-" << t.month << "-" << t.day;
    }
    EXPECT_EQ(toFileTime({1601, 1, 1, 0, 0, 1, 0}), 10'000'000u);
    // 1970-01-01 is 11644473600 seconds after 1601-01-01.
    EXPECT_EQ(toFileTime({1970, 1, 1, 0, 0, 0, 0}), 116'444'736'000'000'000u);
}

TEST(VirtualClock, LocalTimeCrossesMidnightWhenAdvanced) {
    VirtualClock clock(VirtualClock::Mode::AutoAdvance, {2026, 12, 5, 23, 59, 59, 900});
    clock.advance(150ms);
    const LocalDateTime t = clock.localNow();
    EXPECT_EQ(t, (LocalDateTime{2026, 12, 6, 0, 0, 0, 50}));
}

TEST(VirtualClock, AutoAdvanceSleepMovesTimeAndCountsWaits) {
    VirtualClock clock;
    const TimePoint start = clock.now();
    clock.sleepFor(10ms);
    clock.sleepFor(150ms);
    EXPECT_EQ(clock.now() - start, 160ms);
    EXPECT_EQ(clock.sleepCount(), 2u);
    EXPECT_EQ(clock.sleptTotal(), 160ms);
}

TEST(VirtualClock, EventWaitEndsOnlyWhenTimeIsAdvancedPastTheDeadline) {
    VirtualClock clock(VirtualClock::Mode::Manual);
    Event event(clock);
    bool result = true;
    std::thread waiter([&] { result = event.waitFor(100ms); });
    clock.awaitBlocked(1);
    clock.advance(50ms);  // not yet: the waiter must still be waiting
    clock.awaitBlocked(1);
    clock.advance(60ms);  // past the deadline
    waiter.join();
    EXPECT_FALSE(result);
}

TEST(VirtualClock, EventSetWakesWaiterBeforeDeadline) {
    VirtualClock clock(VirtualClock::Mode::Manual);
    Event event(clock);
    bool result = false;
    std::thread waiter([&] { result = event.waitFor(1h); });
    event.set();
    waiter.join();
    EXPECT_TRUE(result);
    EXPECT_FALSE(event.isSet()) << "auto-reset event consumed by the wait";
}

TEST(VirtualClock, ManualSleepBlocksUntilAdvanced) {
    VirtualClock clock(VirtualClock::Mode::Manual);
    std::atomic<bool> done{false};
    std::thread sleeper([&] {
        clock.sleepFor(10ms);
        done = true;
    });
    // The sleeper cannot finish before time reaches its end; advance in two steps.
    clock.awaitBlocked(1);
    clock.advance(5ms);
    EXPECT_FALSE(done);
    clock.awaitBlocked(1);
    clock.advance(5ms);
    sleeper.join();
    EXPECT_TRUE(done);
}

TEST(MessageQueue, DeliversInOrderAndTimesOutOnDeadline) {
    VirtualClock clock(VirtualClock::Mode::Manual);
    MessageQueue<int> queue(clock);
    queue.post(1);
    queue.post(2);
    EXPECT_EQ(queue.waitUntil(clock.now()), 1);
    EXPECT_EQ(queue.tryPop(), 2);
    std::optional<int> got = 7;
    std::thread consumer([&] { got = queue.waitUntil(clock.now() + 5s); });
    clock.awaitBlocked(1);
    clock.advance(5s);
    consumer.join();
    EXPECT_FALSE(got.has_value());
}

TEST(MessageQueue, ManyProducersLoseNothing) {
    MessageQueue<int> queue(Clock::real());
    std::vector<std::thread> producers;
    for (int p = 0; p < 4; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < 1000; ++i)
                queue.post(p * 1000 + i);
        });
    }
    for (auto& t : producers)
        t.join();
    std::vector<int> all = queue.drain();
    ASSERT_EQ(all.size(), 4000u);
    std::vector<int> last(4, -1);
    for (int v : all) {
        EXPECT_GT(v % 1000, last[v / 1000]) << "order of one producer kept";
        last[v / 1000] = v % 1000;
    }
}

TEST(RealClock, EventTimesOut) {
    Event event(Clock::real());
    EXPECT_FALSE(event.waitFor(1ms));
    event.set();
    EXPECT_TRUE(event.waitFor(0ms));
}

}  // namespace
}  // namespace qm
