#include "Clock.h"

namespace qta::link {

Clock::TimerId ManualClock::callAfter(Millis delay, std::function<void()> fn) {
    const TimerId id = nextId_++;
    timers_.emplace(std::pair{now_ + std::max(delay, Millis(0)), id}, std::move(fn));
    return id;
}

void ManualClock::cancel(TimerId id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->first.second == id) {
            timers_.erase(it);
            return;
        }
    }
}

bool ManualClock::runNext(Millis until) {
    if (timers_.empty() || timers_.begin()->first.first > until)
        return false;
    auto node = timers_.extract(timers_.begin());
    now_ = std::max(now_, node.key().first);
    node.mapped()();
    return true;
}

void ManualClock::advance(Millis span) {
    const Millis until = now_ + span;
    while (runNext(until)) {
    }
    now_ = until;
}

bool ManualClock::runUntil(const std::function<bool()>& done, Millis limit) {
    const Millis until = now_ + limit;
    while (!done()) {
        if (!runNext(until)) {
            now_ = until;
            return done();
        }
    }
    return true;
}

void OneShot::start(Millis delay, std::function<void()> fn) {
    stop();
    id_ = clock_.callAfter(delay, [this, fn = std::move(fn)] {
        id_ = 0;
        fn();
    });
}

void OneShot::stop() {
    if (id_ != 0)
        clock_.cancel(id_);
    id_ = 0;
}

} // namespace qta::link
