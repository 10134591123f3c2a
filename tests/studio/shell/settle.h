#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>

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

// Runs the studio's event loop until `done` holds or `limit` (real time) has passed. The thread
// sleeps in the loop between events; `done` is checked after each event, and every 50 ms for
// what no event of this thread announces (a file, a sound level, the service's own state).
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    QTimer recheck;
    recheck.start(std::chrono::milliseconds(50));
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the studio's event loop for `length` of real time.
inline void runEventLoop(std::chrono::milliseconds length) {
    QEventLoop loop;
    QTimer::singleShot(length, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace qm::studio::testing
