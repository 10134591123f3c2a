#include <gtest/gtest.h>

#include <cmath>

#include "common/runtime/virtual_clock.h"
#include "studio/audio/cpu_load_graph.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/peak_meter_levels.h"
#include "studio/audio/scripted_cpu_times.h"

namespace qm::audio {
namespace {

using namespace std::chrono_literals;

TEST(PeakMeterLevels, LevelsOfPeaks) {
    EXPECT_FLOAT_EQ(meterLevel(1.0F), 100.0F) << "full scale fills the meter";
    EXPECT_FLOAT_EQ(meterLevel(-1.0F), 100.0F);
    EXPECT_NEAR(meterLevel(0.5F), 84.95F, 0.01F) << "-6.02 dB";
    EXPECT_EQ(meterLevel(0.0F), 0.0F) << "silence";
    EXPECT_EQ(meterLevel(2.0F), 0.0F) << "above full scale: no level, as DbToPercent gives";
    EXPECT_EQ(meterLevel(std::nanf("")), 0.0F);
}

TEST(PeakMeterLevels, HoldsRiseAtOnceAndFallHalfAPercentPerTick) {
    PeakMeterLevels levels;
    levels.show(0.5F, 1.0F);
    EXPECT_FLOAT_EQ(levels.outputHold, 100.0F);
    EXPECT_NEAR(levels.inputHold, 84.95F, 0.01F);
    levels.show(0.0F, 0.0F);
    EXPECT_EQ(levels.outputLevel, 0.0F) << "levels are not smoothed";
    EXPECT_FLOAT_EQ(levels.outputHold, 100.0F) << "holds stay until they fall";
    levels.fall();
    EXPECT_FLOAT_EQ(levels.outputHold, 99.5F);
    for (int tick = 1; tick < 199; ++tick)
        levels.fall();
    EXPECT_FLOAT_EQ(levels.outputHold, 0.5F) << "199 ticks of 80 ms";
    levels.fall();
    EXPECT_EQ(levels.outputHold, 0.0F) << "gone after 16 s";
    levels.fall();
    EXPECT_EQ(levels.outputHold, 0.0F);
    EXPECT_EQ(levels.inputHold, 0.0F);
}

TEST(CpuTimes, ParsesTheSummaryLineOfProcStat) {
    const auto times =
        parseProcStat("cpu  100 5 30 800 20 3 2 1 7 0\ncpu0 50 2 15 400 10 1 1 0 0 0\nintr 1 2\n");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->idle, 820u);
    EXPECT_EQ(times->user, 105u);
    EXPECT_EQ(times->kernel, 30u + 3 + 2 + 1 + 820);
    const auto old = parseProcStat("cpu 10 0 5 85\n");
    ASSERT_TRUE(old) << "a kernel without iowait and later figures";
    EXPECT_EQ(old->kernel, 90u);
    EXPECT_FALSE(parseProcStat("cpu 10 0 5\n"));
    EXPECT_FALSE(parseProcStat("cpu0 10 0 5 85\n"));
    EXPECT_FALSE(parseProcStat("cpu 10 x 5 85\n"));
    EXPECT_FALSE(parseProcStat(""));
}

TEST(CpuTimes, ParsesUserAndSystemTimeOfAProcess) {
    const auto times = parseProcessStat(
        "4242 (qm Tone (x)) S 1 4242 4242 0 -1 4194560 500 0 0 0 1234 567 0 0 20 0 9 0\n");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->user, 1234u);
    EXPECT_EQ(times->kernel, 567u);
    EXPECT_FALSE(parseProcessStat("4242 (qmTonecraft) S 1 2 3\n"));
    EXPECT_FALSE(parseProcessStat("no parenthesis"));
    ProcCpuTimes proc;
    EXPECT_TRUE(proc.systemTimes());
    EXPECT_TRUE(proc.processTimes());
}

TEST(OwnCpuSampler, ShareOfTheMachineAtMostEveryQuarterSecond) {
    VirtualClock clock;
    ScriptedTimes times;
    OwnCpuSampler own(times, clock);
    times.system = {SystemCpuTimes{0, 100, 100}, SystemCpuTimes{0, 300, 300}};
    times.process = {ProcessCpuTimes{10, 10}, ProcessCpuTimes{30, 50}};
    EXPECT_EQ(own.GetOwnCpuUsage(), 0) << "0 until the second sample";
    clock.advance(250ms);
    EXPECT_EQ(own.GetOwnCpuUsage(), 0) << "not yet: 250 ms is not more than 250 ms";
    EXPECT_EQ(times.system.size(), 1u);
    clock.advance(1ms);
    EXPECT_EQ(own.GetOwnCpuUsage(), 15) << "60 of 400 ticks";
    clock.advance(1s);
    EXPECT_EQ(own.GetOwnCpuUsage(), 15) << "a failed read keeps the last figure";
}

TEST(CpuLoadGraph, TicksShowThePreviousLoadsAsBars) {
    VirtualClock clock;
    ScriptedTimes times;
    OwnCpuSampler own(times, clock);
    times.system = {SystemCpuTimes{100, 200, 100}};
    CpuLoadGraph graph(times, own);
    ASSERT_EQ(graph.systemHistory().size(), 46u);
    EXPECT_EQ(graph.systemHistory().front(), CpuLoadGraph::kNoData);

    // Fully busy: no idle time passed in 100 ticks.
    times.system = {SystemCpuTimes{100, 250, 150}};
    graph.tick(25);
    EXPECT_EQ(graph.systemLoad(), 100);
    EXPECT_EQ(graph.systemHistory().back(), 0) << "the bar of the load before this tick";

    // A quarter busy.
    times.system = {SystemCpuTimes{250, 450, 150}};
    graph.tick(25);
    EXPECT_EQ(graph.systemLoad(), 25);
    EXPECT_EQ(graph.systemHistory().back(), 25) << "100 % of 25 pixels";
    EXPECT_EQ(graph.systemHistory()[44], 0);

    // No time passed, then a failed read: nothing changes.
    times.system = {SystemCpuTimes{250, 450, 150}};
    graph.tick(25);
    graph.tick(25);
    EXPECT_EQ(graph.systemLoad(), 25);
    EXPECT_EQ(graph.systemHistory()[44], 0);
    EXPECT_EQ(graph.systemHistory()[43], CpuLoadGraph::kNoData);

    // Counters a tick apart: idle can't exceed the whole.
    times.system = {SystemCpuTimes{270, 460, 150}};
    graph.tick(10);
    EXPECT_EQ(graph.systemLoad(), 0);
    EXPECT_EQ(graph.systemHistory().back(), 3) << "ceil(25 % of 10 pixels)";
}

}  // namespace
}  // namespace qm::audio
