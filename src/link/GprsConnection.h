#pragma once

#include "GprsOptions.h"
#include "GprsSocket.h"
#include "SessionActionSink.h"
#include "SharedLinkState.h"
#include "UnitReader.h"

#include "session/ProgrammerSession.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

namespace qta::link {

// One device connected to the GPRS server, served by a thread of its own
// (`IdTCPServer1Execute`) that owns the socket and the connection's session: it
// cuts what arrives into the units the session expects, feeds them to it and
// sends what it answers. What the session asks of the user-interface side (the
// view, the timers, a read's Frames) is queued for that thread, and a Frame or an
// event line is carried out there before its acknowledgement goes out. The user's
// requests and the timers' expiry come back the same way.
class GprsConnection : private SessionActionSink {
public:
    // Takes the accepted socket; the thread starts at once. `ringUi` wakes the
    // user-interface thread for the queued work.
    GprsConnection(int socket, SharedLinkState& shared, std::function<void()> ringUi,
                   const GprsOptions& options, TransportProfile profile,
                   const SessionOptions& sessionOptions);
    // Ends the connection and waits for the thread.
    ~GprsConnection() override;
    GprsConnection(const GprsConnection&) = delete;
    GprsConnection& operator=(const GprsConnection&) = delete;

    // From the user-interface thread: every wait of the thread ends, and the
    // device sees the connection close.
    void close();
    // Waits for the thread to end (promptly once closed).
    void join();
    // From the user-interface thread: the session takes an output command (it
    // changes only the shared record, under the lock the thread holds while it runs the session).
    bool switchOutput(int command);

private:
    void IdTCPServer1Execute();
    bool serve();
    bool takeRequests();
    bool step(const SessionRequest& request);
    std::optional<Unit> nextUnit(std::optional<Millis>& silenceLeft);
    bool awaitMore(std::optional<Millis> silenceLeft);

    bool carryOut(const Actions& actions);
    bool sendBytes(const Bytes& bytes) override;
    void purgeInput() override;
    bool pauseReading(Millis span) override;
    void closeAfter(Millis span) override;
    void forUser(const Action& action) override;
    bool flush(bool waitApplied);
    void ring(GprsShared& shared);
    void ringIfDue();
    std::optional<Millis> sooner(std::optional<Millis> limit) const;
    bool send(const Bytes& bytes);
    bool pause(Millis span);
    bool closing();
    void noteDropped();

    SharedLinkState& shared_;
    std::function<void()> ringUi_;
    const GprsOptions options_;
    ProgrammerSession session_; // its record is the shared one: touched only under the lock
    GprsSocket socket_;
    UnitReader reader_;
    std::uint64_t purged_ = 0;
    std::vector<PostedAction> batch_; // for the user-interface thread, not yet queued
    bool mustLand_ = false;           // the batch holds what must be shown before the next send
    std::chrono::steady_clock::time_point lastRing_;
    std::optional<std::chrono::steady_clock::time_point> ringDue_; // queued work not rung for yet
    std::array<std::uint64_t, kSessionTimerCount> timerStarts_{};
    std::thread thread_; // last: it starts once everything above is set
};

} // namespace qta::link
