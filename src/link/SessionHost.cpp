#include "SessionHost.h"

namespace qta::link {

SessionHost::SessionHost(LinkView& view, Configuration& config, Clock& clock, char decimalSeparator,
                         Expired expired)
    : view_(view), config_(config), clock_(clock), decimalSeparator_(decimalSeparator),
      expired_(std::move(expired)) {
    for (int timer = 0; timer < kSessionTimerCount; ++timer)
        timers_.push_back({std::make_unique<OneShot>(clock)});
}

// A transfer restarts its stall bound with every Frame: a running timer only
// notes when it was restarted, and when it runs out early it waits the rest.
void SessionHost::start(SessionTimer which, Millis span) {
    Timer& timer = timers_[static_cast<std::size_t>(which)];
    timer.restartedAt = clock_.now();
    if (timer.shot->active() && timer.span == span)
        return;
    timer.span = span;
    arm(which, span);
}

void SessionHost::arm(SessionTimer which, Millis delay) {
    timers_[static_cast<std::size_t>(which)].shot->start(delay, [this, which] {
        const Timer& timer = timers_[static_cast<std::size_t>(which)];
        const Millis ran = clock_.now() - timer.restartedAt;
        if (ran < timer.span)
            arm(which, timer.span - ran);
        else
            expired_(which);
    });
}

bool SessionHost::carryOut(const Action& action) {
    using Kind = Action::Kind;
    switch (action.kind) {
    case Kind::StartTimer:
        start(action.timer, action.span);
        return true;
    case Kind::StopTimer:
        timers_[static_cast<std::size_t>(action.timer)].shot->stop();
        return true;
    case Kind::View:
        action.call(view_);
        return true;
    case Kind::StartDecoding:
        decoder_ = std::make_unique<transfer::ConfigDecoder>(readTarget_ ? *readTarget_ : config_,
                                                             decimalSeparator_);
        return true;
    case Kind::ApplyFrame:
        if (decoder_)
            decoder_->ReadData(action.frame);
        return true;
    case Kind::Send:
    case Kind::Purge:
    case Kind::Pause:
    case Kind::Close:
        break;
    }
    return false;
}

void SessionHost::stopTimers() {
    for (const Timer& timer : timers_)
        timer.shot->stop();
}

} // namespace qta::link
