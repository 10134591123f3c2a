#pragma once

#include <chrono>

#include "common/runtime/clock.h"
#include "studio/audio/analysis_settings.h"
#include "studio/audio/analysis_state.h"
#include "studio/audio/analysis_thread.h"

// The studio's one analysis: the state that capture writes and the views read, the view
// settings the analysis step reads, and the thread that runs the steps. The studio makes it
// before its windows, starts the thread once the main frame exists and stops it at exit.
namespace qm::audio {

class AudioAnalysis {
  public:
    explicit AudioAnalysis(Clock& clock = Clock::real(), const AnalysisSettings& initial = {});
    AudioAnalysis(const AudioAnalysis&) = delete;
    AudioAnalysis& operator=(const AudioAnalysis&) = delete;

    AnalysisState& state() { return state_; }
    const AnalysisState& state() const { return state_; }
    SharedAnalysisSettings& settings() { return settings_; }

    // Starts the thread unless it runs.
    void start() { thread_.start(); }
    // Asks the thread to end and waits up to `timeout`; false when the wait ran out.
    bool stop(Duration timeout = std::chrono::milliseconds(1000)) { return thread_.stop(timeout); }
    bool running() const { return thread_.running(); }

  private:
    AnalysisState state_;
    SharedAnalysisSettings settings_;
    AnalysisThread thread_;
};

}  // namespace qm::audio
