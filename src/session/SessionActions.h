#pragma once

#include "Bytes.h"
#include "LinkView.h"

#include "transfer/Frame.h"

#include <functional>
#include <vector>

namespace qta::link {

// The bounds a session keeps. The transport runs each as a one-shot timer on its
// clock and tells the session when one has expired.
enum class SessionTimer {
    Stall,       // a transfer, or the wait for its command's acceptance, made no progress
    CodeAnswer,  // the device has not answered the access code
    Prompt,      // GPRS: the code entry has been up too long
    UnlockLimit, // GPRS: a connection has not unlocked since it began
    Watchdog,    // GPRS: an unlocked device has gone silent
    CloseWait,   // GPRS: the device has not ended the connection the window waits for
};
inline constexpr int kSessionTimerCount = 6;

// Where a read's Frames go: into the Configuration the user edits, or into one
// kept aside, for a comparison or a verify that must leave the user's fields alone.
enum class ReadInto { Edited, Aside };

// One thing a session asks its transport to do; a session returns them in order.
struct Action {
    enum class Kind {
        Send,          // `bytes` to the device
        Purge,         // drop what arrived and was not taken: it cannot answer what is sent next
        StartTimer,    // `timer`, `span` from now (restarted if it runs)
        StopTimer,     // `timer`
        View,          // `call` on the view; `landsFirst`: shown before anything after it goes out
        StartDecoding, // a read was accepted: its Frames go into the Configuration from now on
                       // (`aside`: into the one kept aside, not the one being edited)
        ApplyFrame,    // `frame` of a read, set into the Configuration before its acknowledgement
        Pause,         // the connection thread rests `span` before it reads on
        Close,         // the connection closes, `span` from now
    };
    Kind kind = Kind::Send;
    Bytes bytes;
    SessionTimer timer = SessionTimer::Stall;
    Millis span{0};
    std::function<void(LinkView&)> call;
    bool landsFirst = false;
    bool aside = false;
    transfer::Frame frame{};

    static Action of(Kind kind) {
        Action action;
        action.kind = kind;
        return action;
    }
};
using Actions = std::vector<Action>;

} // namespace qta::link
