#pragma once

#include "CountingDriver.h"

#include <QTimer>

namespace qta::bench {

// A timer firing every millisecond on the UI thread: the longest gap between two
// of its firings is the longest time the thread did not get back to its event loop.
class StallProbe {
public:
    StallProbe();

    // Starts a new measurement.
    void reset();
    std::chrono::duration<double, std::milli> longest() const { return longest_; }

private:
    QTimer timer_;
    BenchClock::time_point last_;
    std::chrono::duration<double, std::milli> longest_{};
};

} // namespace qta::bench
