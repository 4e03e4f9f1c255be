#include "PollTimer.h"

#include <algorithm>

namespace qta::link {

PollTimer::PollTimer(Clock& clock, std::function<void()> tick)
    : clock_(clock), tick_(std::move(tick)), timer_(clock) {}

void PollTimer::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    periodStart_ = clock_.now();
    schedule();
}

void PollTimer::setInterval(Millis interval) {
    if (interval == interval_)
        return;
    interval_ = interval;
    periodStart_ = clock_.now();
    schedule();
}

void PollTimer::tickEnded(bool again) {
    ticking_ = false;
    if (again)
        periodStart_ = clock_.now() - interval_;
    schedule();
}

void PollTimer::hold() {
    ++holds_;
    timer_.stop();
}

void PollTimer::release() {
    if (holds_ > 0 && --holds_ == 0)
        schedule();
}

void PollTimer::schedule() {
    timer_.stop();
    if (!enabled_ || ticking_ || holds_ > 0)
        return;
    const Millis wait = std::max(Millis(0), periodStart_ + interval_ - clock_.now());
    timer_.start(wait, [this] { fire(); });
}

void PollTimer::fire() {
    periodStart_ = clock_.now();
    ticking_ = true;
    tick_();
}

} // namespace qta::link
