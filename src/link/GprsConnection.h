#pragma once

#include "ChunkCutter.h"
#include "GprsOptions.h"
#include "LinkView.h"
#include "SharedLinkState.h"

#include "transfer/Frame.h"
#include "transfer/TimeFrame.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <thread>

namespace qta::link {

using EventRecord = std::array<std::uint8_t, 32>;

// What the connection thread has the user-interface side do. Every call comes on
// the connection thread and only queues its work for the user-interface thread.
class ConnectionEvents {
public:
    virtual ~ConnectionEvents() = default;

    // The device took the transfer's command.
    virtual void transferAccepted(TransferKind kind) = 0;
    // A Frame of a read: decoded on the UI thread, which then marks `ticket` applied.
    virtual void frameArrived(const transfer::Frame& frame, std::uint64_t ticket) = 0;
    // The `count`th event record; with a ticket when it has a line to show, which
    // the UI thread marks applied once the line is there.
    virtual void recordArrived(const EventRecord& record, int count, std::optional<std::uint64_t> ticket) = 0;
    // A write sends slot `slot` of its GprsSlots.
    virtual void slotSent(int slot) = 0;
    virtual void transferFinished(TransferKind kind) = 0;
    // One slot was sent as often as allowed without a matching echo.
    virtual void echoRefused() = 0;
    // The device answered the end command with its own 0x04.
    virtual void deviceEnded() = 0;
    // The connection is over (the device left, or it was closed); the thread ends.
    virtual void connectionEnded() = 0;
};

// One device connected to the GPRS server, served by a thread of its own
// (`IdTCPServer1Execute`, pass after pass). The thread owns the socket: it cuts
// what arrives into units, runs the transfers itself, and hands every other unit
// to Timer2 through the shared `received`, then sends the decision. It never
// touches the view, the timers or the Configuration: ConnectionEvents queues
// that work for the user-interface thread, and a decoded Frame or event record
// is applied there before its acknowledgement goes out.
class GprsConnection {
public:
    // Takes the accepted socket; the thread starts at once.
    GprsConnection(int socket, SharedLinkState& shared, ConnectionEvents& events, const GprsOptions& options,
                   int resendLimit, transfer::Clock wallClock);
    // Ends the connection and waits for the thread.
    ~GprsConnection();
    GprsConnection(const GprsConnection&) = delete;
    GprsConnection& operator=(const GprsConnection&) = delete;

    // From the user-interface thread: every wait of the thread ends, and the
    // device sees the connection close.
    void close();
    // Waits for the thread to end (promptly once closed).
    void join();

private:
    struct Cut {
        Expect expect;
        Unit unit;
    };
    struct Transfer {
        TransferKind kind;
        std::shared_ptr<transfer::GprsSlots> frames; // a write's Frames
        bool accepted = false;
        int slot = 0;  // the slot being sent, 1 to 337
        int sends = 0; // of that slot
        bool failed = false;
    };

    void IdTCPServer1Execute();
    std::optional<Cut> nextUnit();
    Expect expectation(const GprsShared& shared);
    bool handle(const Cut& cut);

    bool exchange(const Unit& unit);
    bool sendDecision(bool accessCode, bool answersReport);
    bool transferStep(const Unit& unit);
    bool takeFrame(const Unit& unit);
    bool takeRecord(const Unit& unit);
    bool takeEcho(const Unit& unit);
    bool sendSlot();
    void giveUpWrite();
    bool finish(TransferKind kind);
    bool deviceEnded();

    bool await(std::optional<Millis> silenceLeft);
    bool awaitWritable();
    bool waitForDecision();
    bool waitApplied(std::uint64_t ticket);
    bool pause(Millis span);
    bool receive();
    bool send(std::span<const std::uint8_t> bytes);
    void purgeInput();
    void noteDropped();

    const int socket_;
    SharedLinkState& shared_;
    ConnectionEvents& events_;
    const GprsOptions options_;
    const int resendLimit_;
    const transfer::Clock wallClock_;

    ChunkCutter cutter_;
    std::chrono::steady_clock::time_point lastArrival_;
    std::uint64_t purged_ = 0;
    std::optional<Transfer> transfer_;
    bool codeSent_ = false; // the access code went out; its answer comes next
    bool endSent_ = false;  // the end command went out; the device's 0x04 comes next
    std::uint64_t tickets_ = 0;
    std::thread thread_; // last: it starts once everything above is set
};

} // namespace qta::link
