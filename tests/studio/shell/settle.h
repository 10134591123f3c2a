#pragma once

#include <QCoreApplication>
#include <chrono>

#include "studio/shell/service_calls.h"

namespace qm::studio::testing {

// Delivers the events posted to the test's (GUI) thread.
inline void deliver() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Runs what the studio has queued until nothing is left: the calls on the workers, their results
// on this thread, and whatever those start in turn.
inline void settle(ServiceCalls& calls) {
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
        calls.waitForWorkers(std::chrono::seconds(10));
        deliver();
        if (calls.idle()) {
            return;
        }
    }
}

}  // namespace qm::studio::testing
