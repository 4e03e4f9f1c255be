#pragma once

#include "Bridge.h"
#include "Doorbell.h"
#include "LinkView.h"

#include "transfer/GprsSlots.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace qta::link {

// What the GPRS connection thread and the user-interface thread share. Nothing
// here is touched without the lock of SharedLinkState.
struct GprsShared {
    // The hand-off of the exchange outside transfers: the thread puts each unit
    // into `received`; Timer2 takes it and answers through `outgoing` (which the
    // thread sends and clears) or releases the thread's wait with `stopWaiting`.
    Bytes received;
    Bytes outgoing;
    bool stopWaiting = false;

    // Set by Timer2 when it answers a StatusReport with the command, cleared by
    // the thread at the end of the transfer, or by the user-interface side when it
    // gives the transfer up.
    bool readConfigRequested = false;
    bool writeConfigRequested = false;
    bool eventLogRequested = false;
    bool transferDone = true; // no transfer dialog is up, or its transfer has ended
    bool unlocked = false;
    int eventCount = 0;
    int pendingOutputCommand = 0;
    int tickCount = 0; // watchdog ticks since the last exchange
    // A write's Frames, handed to the thread with `writeConfigRequested`; the
    // thread alone touches them from then on (it dates slot 337 when it sends it).
    std::shared_ptr<transfer::GprsSlots> frames;

    // The connection's own control.
    bool closing = false;                      // the user-interface side ends the connection
    std::uint64_t applied = 0;                 // the last received unit whose effect the UI has applied
    std::vector<std::function<void()>> uiWork; // the thread's effects, run on the UI thread in order
    bool uiRung = false;                       // the UI thread's doorbell rang for them

    // What the connection has done, and whether its thread waits for the device
    // or for the user-interface side with nothing else to do.
    bool threadWaiting = false;
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
    std::uint64_t bytesDropped = 0;

    std::optional<TransferKind> transferRequested() const;
    bool& requestFlag(TransferKind kind);
    void clearRequests();
};

// The lock, the condition variable and the doorbell of the shared fields. The
// connection thread waits for its socket and for these fields at once by polling
// the socket together with the doorbell (an eventfd), which every notify rings;
// pure state waits use the condition variable.
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
