#pragma once

#include "Doorbell.h"
#include "SharedLinkState.h"

#include <QObject>
#include <QSocketNotifier>

#include <functional>

namespace qta::link {

// The user-interface thread's end of what the threads share: the connection
// thread rings its doorbell when it has queued work, and the work is carried out
// here, in order. Qt's own event queue is not used across the threads: its events
// are made in one thread and freed in the other under a lock the thread checker
// cannot see.
class GprsMailbox : public QObject {
    Q_OBJECT
public:
    using Carry = std::function<void(const PostedAction&)>;

    GprsMailbox(SharedLinkState& shared, Carry carry, std::function<void()> ended);

    // For the connection thread.
    void ring() { doorbell_.ring(); }
    // Carries out everything queued so far, then tells the thread it has.
    void deliver();
    // A request for the connection thread's session.
    void send(SessionRequest request);
    // A timer of the session ran out here.
    void expired(SessionTimer timer, std::uint64_t start);

private:
    SharedLinkState& shared_;
    Carry carry_;
    std::function<void()> ended_;
    Doorbell doorbell_;
    QSocketNotifier notifier_;
};

} // namespace qta::link
