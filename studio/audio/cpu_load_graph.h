#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/runtime/clock.h"
#include "studio/audio/cpu_times.h"

// The figures of the CPU load graph: the machine's load and the studio's own share of it in
// percent, sampled once a second, and a short history of both as bar heights in pixels.
namespace qm::audio {

// The studio's own share of the machine's CPU time between two samples, in percent. Samples at
// most every 250 ms; callers in between, and a caller that finds another one sampling, get the
// last figure. 0 until the second sample.
class OwnCpuSampler {
  public:
    static constexpr auto kMinimumInterval = std::chrono::milliseconds(250);

    OwnCpuSampler(CpuTimesSource& source, Clock& clock);

    int GetOwnCpuUsage();

  private:
    CpuTimesSource& source_;
    Clock& clock_;
    std::atomic<long> busy_{0};
    std::optional<TimePoint> lastSample_;
    SystemCpuTimes system_;
    ProcessCpuTimes process_;
    std::int16_t lastUsage_ = 0;
};

class CpuLoadGraph {
  public:
    static constexpr int kHistoryWidth = 92;  // pixels of history
    static constexpr int kNoData = -1;

    // Reads the first system times (the previous ones of the first tick) and fills both
    // histories with kNoData: one entry per `step` pixels.
    CpuLoadGraph(CpuTimesSource& source, OwnCpuSampler& own, int step = 2);

    // One sampling tick for a graph `height` pixels high. The bars appended are the heights of
    // the loads of the previous tick, so the graph runs one tick behind the digits. A failed
    // read or an interval without elapsed time leaves loads and histories as they were.
    void tick(int height);

    int systemLoad() const { return systemLoad_; }
    int ownLoad() const { return ownLoad_; }
    int step() const { return step_; }
    // Oldest first; kNoData where no sample has been taken yet.
    const std::vector<int>& systemHistory() const { return systemHistory_; }
    const std::vector<int>& ownHistory() const { return ownHistory_; }

    // 0 bars, 1 lines.
    int drawMode() const { return drawMode_; }
    void setDrawMode(int mode) { drawMode_ = mode; }

  private:
    static void append(std::vector<int>& history, int value);

    CpuTimesSource& source_;
    OwnCpuSampler& own_;
    int step_;
    int minimumSystem_ = 0;
    int minimumOwn_ = 0;
    int maximumSystem_ = 100;
    int maximumOwn_ = 100;
    int systemLoad_ = 0;
    int ownLoad_ = 0;
    int drawMode_ = 0;
    SystemCpuTimes previous_;
    std::vector<int> systemHistory_;
    std::vector<int> ownHistory_;
};

}  // namespace qm::audio
