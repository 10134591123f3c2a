#include "studio/audio/analysis_thread.h"

#include <pthread.h>

namespace qm::audio {

AnalysisThread::AnalysisThread(AnalysisState& state, const SharedAnalysisSettings& settings,
                               Clock& clock, TickObserver observer)
    : state_(state),
      settings_(settings),
      clock_(clock),
      observer_(std::move(observer)),
      queue_(clock),
      finished_(clock, Event::Reset::Manual) {}

AnalysisThread::~AnalysisThread() {
    if (thread_.joinable()) {
        queue_.post(Message::Quit);
        thread_.join();
    }
}

void AnalysisThread::start() {
    if (thread_.joinable()) {
        return;
    }
    finished_.reset();
    queue_.drain();  // a quit left from an earlier run must not end the new one
    thread_ = std::thread([this] {
        // Named for tools that show threads (top -H, /proc/<pid>/task).
        pthread_setname_np(pthread_self(), "qm-analysis");
        AnalysisProc();
    });
}

bool AnalysisThread::stop(Duration timeout) {
    if (!thread_.joinable()) {
        return true;
    }
    queue_.post(Message::Quit);
    if (!finished_.waitFor(timeout)) {
        return false;
    }
    thread_.join();
    return true;
}

void AnalysisThread::AnalysisProc() {
    TimePoint due = clock_.now() + kAnalysisFirstDue;
    for (;;) {
        if (const std::optional<Message> message = queue_.waitUntil(due)) {
            if (*message == Message::Quit) {
                break;
            }
            continue;
        }
        const TimePoint now = clock_.now();
        if (now < due) {
            continue;
        }
        const bool stepped = engine_.step(state_, settings_.snapshot());
        if (observer_) {
            observer_(due, stepped);
        }
        // The next period boundary after now: missed ticks are not made up.
        do {
            due += kAnalysisPeriod;
        } while (due <= now);
    }
    finished_.set();
}

}  // namespace qm::audio
