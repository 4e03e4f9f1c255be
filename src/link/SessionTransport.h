#pragma once

#include "model/Configuration.h"
#include "session/LinkState.h"
#include "session/ProgrammerSession.h"

#include <functional>

namespace qta::link {

// A transport as the engine's user side sees it: it moves the bytes between the
// wire and its session, and runs the user's requests on that session on the
// thread that owns it.
class SessionTransport {
public:
    using Request = std::function<Actions(ProgrammerSession&)>;

    virtual ~SessionTransport() = default;

    // Chosen by the user (the poll runs, the server listens) or not.
    virtual void setActive(bool active) = 0;
    // Runs `request` on the session, if a device is attached, and carries out what it returns.
    virtual void run(Request request) = 0;
    // An output command for the next answer; true when it was taken (see
    // ProgrammerSession::switchOutput). Decided at once, so a second click before
    // the answer is refused.
    virtual bool switchOutput(int command) = 0;
    // The connection's record as it stands.
    virtual LinkState state() const = 0;
    // A device is attached: the bridge is open, or a connection is up.
    virtual bool attached() const = 0;
    // Where the Frames of the reads requested from now on go (null: the link's Configuration).
    virtual void setReadTarget(Configuration* target) = 0;
};

} // namespace qta::link
