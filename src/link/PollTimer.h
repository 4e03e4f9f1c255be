#pragma once

#include "Clock.h"

#include <functional>

namespace qta::link {

// The USB poll's timer (`Timer1`): an interval timer whose tick may last, while a
// bridge read runs. The next tick comes one interval after the last one started,
// or at once when that tick took longer, but never while a tick is still running.
// Enabling it, or changing its interval, starts the count anew, as the window's
// timers do. While held (a message box is up) no tick starts.
class PollTimer {
public:
    PollTimer(Clock& clock, std::function<void()> tick);

    bool enabled() const { return enabled_; }
    Millis interval() const { return interval_; }
    void setEnabled(bool enabled);
    void setInterval(Millis interval);

    // The tick that the timer started has ended (synchronously, or when its read came back).
    // `again` starts the next one at once: more bytes may be waiting.
    void tickEnded(bool again = false);
    bool ticking() const { return ticking_; }

    void hold();
    void release();

private:
    void schedule();
    void fire();

    Clock& clock_;
    std::function<void()> tick_;
    OneShot timer_;
    bool enabled_ = false;
    Millis interval_{100};
    Millis periodStart_{0};
    bool ticking_ = false;
    int holds_ = 0;
};

} // namespace qta::link
