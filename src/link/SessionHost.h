#pragma once

#include "Clock.h"

#include "model/Configuration.h"
#include "session/SessionActions.h"
#include "transfer/ConfigDecoder.h"

#include <functional>
#include <memory>
#include <vector>

namespace qta::link {

// The user-interface side of what a session asks for: its timers on the link's
// clock, the calls on the view, and a read's Frames set into the Configuration.
// The bytes are the transport's own business.
class SessionHost {
public:
    using Expired = std::function<void(SessionTimer)>;

    SessionHost(LinkView& view, Configuration& config, Clock& clock, char decimalSeparator, Expired expired);
    SessionHost(const SessionHost&) = delete;
    SessionHost& operator=(const SessionHost&) = delete;

    // Carries out `action` if it is one of this side's; false for the bytes.
    bool carryOut(const Action& action);
    void stopTimers();
    // Where the next read's Frames go: `target`, or the link's own Configuration when null.
    void setReadTarget(Configuration* target) { readTarget_ = target; }
    LinkView& view() { return view_; }

private:
    struct Timer {
        std::unique_ptr<OneShot> shot;
        Millis span{0};
        Millis restartedAt{0};
    };
    void start(SessionTimer which, Millis span);
    void arm(SessionTimer which, Millis delay);

    LinkView& view_;
    Configuration& config_;
    Configuration* readTarget_ = nullptr;
    Clock& clock_;
    char decimalSeparator_;
    std::vector<Timer> timers_; // one per SessionTimer
    Expired expired_;
    std::unique_ptr<transfer::ConfigDecoder> decoder_;
};

} // namespace qta::link
