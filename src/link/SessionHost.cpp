#include "SessionHost.h"

namespace qta::link {

SessionHost::SessionHost(LinkView& view, Configuration& config, Clock& clock, char decimalSeparator,
                         Expired expired)
    : view_(view), config_(config), decimalSeparator_(decimalSeparator), expired_(std::move(expired)) {
    for (int timer = 0; timer < kSessionTimerCount; ++timer)
        timers_.push_back(std::make_unique<OneShot>(clock));
}

bool SessionHost::carryOut(const Action& action) {
    using Kind = Action::Kind;
    switch (action.kind) {
    case Kind::StartTimer: {
        const SessionTimer timer = action.timer;
        timers_[static_cast<std::size_t>(timer)]->start(action.span, [this, timer] { expired_(timer); });
        return true;
    }
    case Kind::StopTimer:
        timers_[static_cast<std::size_t>(action.timer)]->stop();
        return true;
    case Kind::View:
        action.call(view_);
        return true;
    case Kind::StartDecoding:
        decoder_ = std::make_unique<transfer::ConfigDecoder>(config_, decimalSeparator_);
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
    for (const auto& timer : timers_)
        timer->stop();
}

} // namespace qta::link
