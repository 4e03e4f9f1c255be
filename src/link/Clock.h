#pragma once

#include "session/Bytes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace qta::link {

// The monotonic time and the single-shot timers of the link: poll ticks, read
// time-outs, bounds on every wait. The window and the CLI run on QtClock; tests
// run on ManualClock, which moves only when told, so no test sleeps for real.
class Clock {
public:
    using TimerId = std::uint64_t;

    virtual ~Clock() = default;

    virtual Millis now() const = 0;
    // Calls `fn` once, `delay` from now, from the thread's event loop, never from
    // inside callAfter itself. Timers due at the same moment run in the order set.
    virtual TimerId callAfter(Millis delay, std::function<void()> fn) = 0;
    // A timer that already ran or was cancelled is left alone.
    virtual void cancel(TimerId id) = 0;
};

// A clock that stands still until advanced; advancing runs the timers that fall
// due on the way, each at its own moment.
class ManualClock : public Clock {
public:
    Millis now() const override { return now_; }
    TimerId callAfter(Millis delay, std::function<void()> fn) override;
    void cancel(TimerId id) override;

    // Moves time forward by `span`, running every timer due by then in order.
    void advance(Millis span);
    // Runs timers (moving time to each) until `done` holds or `limit` has passed;
    // true when `done` held.
    bool runUntil(const std::function<bool()>& done, Millis limit);
    // Runs the timers due now, also those they set for now.
    void runDue() { advance(Millis(0)); }
    bool idle() const { return timers_.empty(); }
    // When the next timer is due; nothing while none is set.
    std::optional<Millis> nextDue() const {
        return timers_.empty() ? std::nullopt : std::optional(timers_.begin()->first.first);
    }

private:
    bool runNext(Millis until);

    Millis now_{0};
    TimerId nextId_ = 1;
    // Ordered by due time, then by the order they were set.
    std::map<std::pair<Millis, TimerId>, std::function<void()>> timers_;
};

// One timer that is either pending or not: start (restart), stop, active. Stops
// itself when destroyed.
class OneShot {
public:
    explicit OneShot(Clock& clock) : clock_(clock) {}
    ~OneShot() { stop(); }
    OneShot(const OneShot&) = delete;
    OneShot& operator=(const OneShot&) = delete;

    void start(Millis delay, std::function<void()> fn);
    void stop();
    bool active() const { return id_ != 0; }

private:
    Clock& clock_;
    Clock::TimerId id_ = 0;
};

} // namespace qta::link
