#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace qta::bench {

// Runs the event loop until `done` holds or `limitMs` has passed; true when it held.
inline bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer deadline; // wakes the loop at the limit when nothing else does
    deadline.setSingleShot(true);
    deadline.start(limitMs);
    while (!done()) {
        if (elapsed.elapsed() >= limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace qta::bench
