#pragma once

#include <deque>
#include <optional>

#include "studio/audio/cpu_times.h"

namespace qm::audio {

// CPU figures handed out in order; an empty queue reads as a failure.
class ScriptedTimes final : public CpuTimesSource {
  public:
    std::optional<SystemCpuTimes> systemTimes() override { return next(system); }
    std::optional<ProcessCpuTimes> processTimes() override { return next(process); }

    std::deque<std::optional<SystemCpuTimes>> system;
    std::deque<std::optional<ProcessCpuTimes>> process;

  private:
    template <typename T>
    static std::optional<T> next(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) {
            return std::nullopt;
        }
        auto value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace qm::audio
