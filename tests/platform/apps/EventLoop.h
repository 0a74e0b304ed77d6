#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace vigilo::testing {

/// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
inline bool runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
}

/// Runs the event loop for `ms` milliseconds.
inline void runEventsFor(int ms) {
    runEventsUntil([] { return false; }, ms);
}

} // namespace vigilo::testing
