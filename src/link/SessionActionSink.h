#pragma once

#include "session/SessionActions.h"

namespace qta::link {

// Where a GPRS connection carries out what its session answers: the bytes and
// the connection's own steps here, everything else for the user's side.
class SessionActionSink {
public:
    virtual ~SessionActionSink() = default;

    // False when the connection is over.
    virtual bool sendBytes(const Bytes& bytes) = 0;
    virtual void purgeInput() = 0;
    virtual bool pauseReading(Millis span) = 0;
    virtual void closeAfter(Millis span) = 0;
    // A timer, a view call, a read's Frame.
    virtual void forUser(const Action& action) = 0;
};

// Carries out `actions` in order; false once the connection is over (it was
// closed, or a step failed), when the actions after it are dropped.
bool carryOutActions(const Actions& actions, SessionActionSink& sink);

} // namespace qta::link
