#include <gtest/gtest.h>

#include <array>
#include <chrono>

#include "common/runtime/message_queue.h"
#include "common/runtime/virtual_clock.h"
#include "studio/audio/analysis_thread.h"
#include "studio/audio/power_views.h"

using namespace std::chrono_literals;

namespace qm::audio {
namespace {

struct Tick {
    Duration due;  // since the thread started
    bool stepped;
};

// An analysis thread on a manual virtual clock whose ticks are reported through a queue. The
// report waits are bounded in real time only as a safety net; they end as soon as the analysis
// thread reports, and no test sleeps.
class AnalysisThreadTest : public ::testing::Test {
  protected:
    AnalysisThreadTest()
        : thread_(state_, settings_, clock_, [this](TimePoint due, bool stepped) {
              ticks_.post({due - start_, stepped});
          }) {
        settings_.setSpectrumView(kViewRealTime);
    }

    Tick nextTick() {
        const std::optional<Tick> tick = ticks_.waitUntil(Clock::real().now() + 20s);
        if (!tick) {
            ADD_FAILURE() << "no tick reported";
            return {Duration::zero(), false};
        }
        return *tick;
    }

    // Lets the thread reach its wait, then moves time.
    void advance(Duration d) {
        clock_.awaitBlocked(1);
        clock_.advance(d);
    }

    void submit(float value) {
        std::array<float, kBlockSize> block{};
        block.fill(value);
        state_.submitBlock(block);
    }

    VirtualClock clock_{VirtualClock::Mode::Manual};
    TimePoint start_ = clock_.now();
    AnalysisState state_;
    SharedAnalysisSettings settings_;
    MessageQueue<Tick> ticks_{Clock::real()};
    AnalysisThread thread_;
};

TEST_F(AnalysisThreadTest, TicksOneMillisecondAfterStartThenEveryTenAndStepsOnlyOnNewBlocks) {
    thread_.start();
    EXPECT_TRUE(thread_.running());
    advance(1ms);
    const Tick first = nextTick();
    EXPECT_EQ(first.due, 1ms);
    EXPECT_FALSE(first.stepped) << "no block handed over yet";

    submit(0.5F);
    advance(9ms);  // 10 ms: between ticks
    advance(1ms);  // 11 ms
    const Tick second = nextTick();
    EXPECT_EQ(second.due, 11ms) << "no tick in between";
    EXPECT_TRUE(second.stepped);
    double level = 0;
    state_.readWaveform([&](auto w) { level = w[0]; });
    EXPECT_EQ(level, 0.5);

    advance(10ms);
    const Tick third = nextTick();
    EXPECT_EQ(third.due, 21ms);
    EXPECT_FALSE(third.stepped) << "the block was analysed once";
    EXPECT_TRUE(thread_.stop());
}

TEST_F(AnalysisThreadTest, MissedTicksCoalesceIntoOne) {
    thread_.start();
    advance(1ms);
    EXPECT_EQ(nextTick().due, 1ms);
    advance(35ms);  // 36 ms: the ticks due at 11, 21 and 31 ms are one late tick
    EXPECT_EQ(nextTick().due, 11ms);
    advance(5ms);  // 41 ms: the next period boundary after the late tick
    EXPECT_EQ(nextTick().due, 41ms);
    EXPECT_TRUE(thread_.stop());
    EXPECT_EQ(ticks_.size(), 0u);
}

TEST_F(AnalysisThreadTest, SettingsChangeAtTheNextStep) {
    settings_.setWaveScale(480);
    thread_.start();
    submit(0.25F);
    advance(1ms);
    ASSERT_TRUE(nextTick().stepped);
    settings_.setWaveScale(24);
    submit(0.75F);
    advance(10ms);
    ASSERT_TRUE(nextTick().stepped);
    std::array<double, 22> columns{};
    state_.readWaveform([&](auto w) { std::copy(w.begin(), w.begin() + 22, columns.begin()); });
    for (std::size_t c = 0; c < 20; ++c)
        EXPECT_EQ(columns[c], 0.75) << c;
    EXPECT_EQ(columns[20], 0.25);
    EXPECT_EQ(columns[21], 0.0);
    EXPECT_TRUE(thread_.stop());
}

TEST_F(AnalysisThreadTest, StopEndsTheThreadWithoutTimeMovingAndItCanStartAgain) {
    EXPECT_TRUE(thread_.stop()) << "stopping a thread that never ran";
    thread_.start();
    clock_.awaitBlocked(1);
    const TimePoint before = clock_.now();
    EXPECT_TRUE(thread_.stop(1000ms));
    EXPECT_EQ(clock_.now(), before) << "the quit request wakes the thread, no time-out";
    EXPECT_FALSE(thread_.running());

    thread_.start();
    submit(0.1F);
    advance(1ms);
    const Tick tick = nextTick();
    EXPECT_TRUE(tick.stepped);
    EXPECT_EQ(tick.due, 1ms) << "the timer restarts with the thread";
    EXPECT_TRUE(thread_.stop());
}

}  // namespace
}  // namespace qm::audio
