#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>

namespace qm::studio::testing {

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
