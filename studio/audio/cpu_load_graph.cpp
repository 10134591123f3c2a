#include "studio/audio/cpu_load_graph.h"

#include <algorithm>
#include <cmath>

namespace qm::audio {

OwnCpuSampler::OwnCpuSampler(CpuTimesSource& source, Clock& clock)
    : source_(source), clock_(clock) {}

int OwnCpuSampler::GetOwnCpuUsage() {
    if (busy_.fetch_add(1) == 0) {
        const TimePoint now = clock_.now();
        if (!lastSample_ || now - *lastSample_ > kMinimumInterval) {
            const auto system = source_.systemTimes();
            const auto process = source_.processTimes();
            if (system && process) {
                if (lastSample_) {
                    const std::uint64_t systemDelta =
                        (system->kernel - system_.kernel) + (system->user - system_.user);
                    const std::uint64_t processDelta =
                        (process->kernel - process_.kernel) + (process->user - process_.user);
                    if (systemDelta != 0) {
                        lastUsage_ =
                            static_cast<std::int16_t>(100.0 * static_cast<double>(processDelta) /
                                                      static_cast<double>(systemDelta));
                    }
                }
                system_ = *system;
                process_ = *process;
                lastSample_ = now;
            }
        }
    }
    const int usage = lastUsage_;
    busy_.fetch_sub(1);
    return usage;
}

CpuLoadGraph::CpuLoadGraph(CpuTimesSource& source, OwnCpuSampler& own, int step)
    : source_(source),
      own_(own),
      step_(std::max(step, 1)),
      previous_(source.systemTimes().value_or(SystemCpuTimes{})),
      systemHistory_(static_cast<std::size_t>(kHistoryWidth / step_), kNoData),
      ownHistory_(systemHistory_.size(), kNoData) {}

void CpuLoadGraph::tick(int height) {
    const auto barHeight = [height](int load, int maximum) {
        return static_cast<int>(
            std::ceil(static_cast<float>(load) / static_cast<float>(maximum) * height));
    };
    const int systemBar = barHeight(systemLoad_, maximumSystem_);
    const int ownBar = barHeight(ownLoad_, maximumOwn_);

    const auto now = source_.systemTimes();
    if (!now) {
        return;
    }
    const std::uint64_t total = (now->kernel - previous_.kernel) + (now->user - previous_.user);
    if (total != 0) {
        // Counters read a moment apart can disagree by a tick: idle never exceeds the whole.
        const std::uint64_t idle = std::min(now->idle - previous_.idle, total);
        const std::uint64_t busy = total - idle;
        const int system = static_cast<int>(busy * 100 / total);
        const int own = own_.GetOwnCpuUsage();
        systemLoad_ = system > maximumSystem_ ? maximumSystem_ : std::max(system, minimumSystem_);
        ownLoad_ = own > maximumOwn_ ? maximumOwn_ : std::max(own, minimumOwn_);
        append(systemHistory_, systemBar);
        append(ownHistory_, ownBar);
    }
    previous_ = *now;
}

void CpuLoadGraph::append(std::vector<int>& history, int value) {
    std::rotate(history.begin(), history.begin() + 1, history.end());
    history.back() = value;
}

}  // namespace qm::audio
