#pragma once

#include "CountingDriver.h"

#include <QTimer>

namespace qta::bench {

using Millis = std::chrono::duration<double, std::milli>;

// The longest time the UI thread did not get back to its event loop, from a timer
// firing every millisecond on it. Beside each gap the probe notes, from the
// scheduler's accounts of the thread, its own work in it and its wait for a core
// (runnable while other processes ran), so a gap that a loaded machine made shows
// as such.
class StallProbe {
public:
    struct Gap {
        Millis wall{};    // between two firings
        Millis cpu{};     // of it, the thread's own work
        Millis waiting{}; // of it, runnable but waiting for a core
    };

    StallProbe();
    ~StallProbe();
    StallProbe(const StallProbe&) = delete;
    StallProbe& operator=(const StallProbe&) = delete;

    // Starts a new measurement.
    void reset();
    // The longest gap between firings.
    const Gap& longest() const { return longest_; }
    // The most work the thread did between two firings.
    Millis busiest() const { return busiest_; }

private:
    struct Sample {
        BenchClock::time_point at;
        Millis cpu{};
        Millis waiting{};
    };
    Sample sample() const;
    void fire();

    int schedstat_ = -1; // the thread's scheduler accounts
    QTimer timer_;
    Sample last_;
    Gap longest_;
    Millis busiest_{};
};

} // namespace qta::bench
