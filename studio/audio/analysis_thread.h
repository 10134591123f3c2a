#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "common/runtime/clock.h"
#include "common/runtime/event.h"
#include "common/runtime/message_queue.h"
#include "studio/audio/analysis_engine.h"
#include "studio/audio/analysis_settings.h"
#include "studio/audio/analysis_state.h"

// The analysis thread: a periodic timer, first due 1 ms after the start and then every 10 ms, on
// an injected clock. At each tick it runs one analysis step when capture has handed over a block
// since the last one, and does nothing otherwise. Ticks that pass while the thread is busy or
// not scheduled coalesce into one, as with a periodic waitable timer. The thread ends when its
// owner asks, within a bounded wait.
namespace qm::audio {

class AnalysisThread {
  public:
    // Called on the analysis thread after every tick with the tick's due time and whether a step
    // ran; for tests and diagnostics.
    using TickObserver = std::function<void(TimePoint due, bool stepped)>;

    AnalysisThread(AnalysisState& state, const SharedAnalysisSettings& settings, Clock& clock,
                   TickObserver observer = {});
    AnalysisThread(const AnalysisThread&) = delete;
    AnalysisThread& operator=(const AnalysisThread&) = delete;
    // Stops the thread and joins it.
    ~AnalysisThread();

    // Starts the thread unless it runs.
    void start();

    // Asks the thread to end and waits up to `timeout` on the clock. True when it has ended (or
    // never ran); false when the wait ran out, in which case the thread keeps its quit request
    // and the destructor joins it.
    bool stop(Duration timeout = std::chrono::milliseconds(1000));

    bool running() const { return thread_.joinable(); }

  private:
    enum class Message { Quit };

    void AnalysisProc();

    AnalysisState& state_;
    const SharedAnalysisSettings& settings_;
    Clock& clock_;
    TickObserver observer_;
    AnalysisEngine engine_;
    MessageQueue<Message> queue_;
    Event finished_;
    std::thread thread_;
};

}  // namespace qm::audio
