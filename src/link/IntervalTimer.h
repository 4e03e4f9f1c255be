#pragma once

#include "Clock.h"

#include <functional>
#include <utility>

namespace qta::link {

// A timer that ticks every interval while enabled, on the link's Clock. Enabling
// it again starts the count anew; a tick may disable it.
class IntervalTimer {
public:
    IntervalTimer(Clock& clock, Millis interval, std::function<void()> tick)
        : shot_(clock), interval_(interval), tick_(std::move(tick)) {}

    void setEnabled(bool enabled) {
        if (!enabled)
            shot_.stop();
        else if (!shot_.active())
            schedule();
    }
    void restart() {
        shot_.stop();
        schedule();
    }
    bool enabled() const { return shot_.active(); }

private:
    void schedule() {
        shot_.start(interval_, [this] {
            schedule();
            tick_();
        });
    }

    OneShot shot_;
    Millis interval_;
    std::function<void()> tick_;
};

} // namespace qta::link
