#pragma once

#include "Doorbell.h"

#include "session/LinkState.h"
#include "session/ProgrammerSession.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace qta::link {

// What the user-interface thread has the connection thread's session do.
using SessionRequest = std::function<Actions(ProgrammerSession&)>;

// A session's action on its way to the user-interface thread; a timer's start
// carries the number the thread gave it, so an expiry it has since replaced is known.
struct PostedAction {
    Action action;
    std::uint64_t timerStart = 0;
};

// What the GPRS connection thread and the user-interface thread share, nothing of
// it touched without the lock: the connection's record, whose protocol part only
// the thread's session changes, and the two queues between the threads.
struct GprsShared {
    LinkState link;
    std::vector<SessionRequest> requests; // to the thread, in order
    // Timers that ran out on the user-interface thread, each with the number of its start.
    std::vector<std::pair<SessionTimer, std::uint64_t>> expired;
    std::vector<PostedAction> uiWork; // to the user-interface thread, in order
    bool uiRung = false;              // its doorbell rang for them
    std::uint64_t posted = 0;         // the last batch of uiWork queued
    std::uint64_t applied = 0;        // the last batch the user-interface thread carried out
    bool closing = false;             // the user-interface side ends the connection
    bool ended = false;               // the thread has returned

    // What the connection has done, and whether its thread waits with nothing to do.
    bool threadWaiting = false;
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
    std::uint64_t bytesDropped = 0;
};

// The lock, the condition variable and the thread's doorbell of the shared fields.
// The connection thread waits for its socket and for these fields at once by
// polling the socket together with the doorbell (an eventfd), which every notify
// rings; pure state waits use the condition variable.
class SharedLinkState {
public:
    SharedLinkState() = default;
    SharedLinkState(const SharedLinkState&) = delete;
    SharedLinkState& operator=(const SharedLinkState&) = delete;

    class Locked {
    public:
        GprsShared* operator->() { return &shared_.fields_; }
        GprsShared& operator*() { return shared_.fields_; }
        // After a change the other side must see: wakes every wait.
        void notify();
        // Wakes only the waits on the condition variable, not the thread's poll:
        // for what the thread waits for only there (its work carried out).
        void notifyWaiters() { shared_.changed_.notify_all(); }
        template <class Done> void wait(Done done) { shared_.changed_.wait(lock_, done); }
        template <class Done> bool waitFor(Millis limit, Done done) {
            return shared_.changed_.wait_for(lock_, limit, done);
        }
        void unlock() { lock_.unlock(); }

    private:
        friend class SharedLinkState;
        explicit Locked(SharedLinkState& shared) : shared_(shared), lock_(shared.mutex_) {}
        SharedLinkState& shared_;
        std::unique_lock<std::mutex> lock_;
    };

    Locked lock() { return Locked(*this); }

    // The thread's doorbell for poll(): readable after a notify, until cleared.
    int doorbell() const { return doorbell_.fd(); }
    void clearDoorbell() { doorbell_.clear(); }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    GprsShared fields_;
    Doorbell doorbell_;
};

} // namespace qta::link
