#pragma once

#include "Clock.h"
#include "FleetDevice.h"
#include "GprsOptions.h"
#include "SessionActionSink.h"
#include "SessionHost.h"
#include "UnitReader.h"

#include "session/ProgrammerSession.h"

#include <deque>
#include <memory>

namespace qta::link {

// One device connected to the fleet server: the non-blocking socket, its session
// and the job, driven by the server's one loop. What arrives is cut into units as
// on every GPRS connection; what the session answers goes out when the socket
// takes it; its timers run on the loop's clock.
class FleetConnection : private SessionActionSink, private FleetControl {
public:
    FleetConnection(int socket, std::unique_ptr<FleetDevice> device, ManualClock& clock,
                    const GprsOptions& gprs, const TransportProfile& profile,
                    const SessionOptions& sessionOptions, char decimalSeparator);
    ~FleetConnection() override;
    FleetConnection(const FleetConnection&) = delete;
    FleetConnection& operator=(const FleetConnection&) = delete;

    void start();
    // The poll found the socket ready.
    void readable();
    void writable();
    // The server is stopping.
    void interrupt() { device_->interrupted(); }
    // Closes at once (the run's last bound, or the server's end).
    void abort() { finish(); }
    // The server takes no more devices: a peer that has not identified is none.
    void closeIfUnidentified() {
        if (session_.phase() == ProgrammerSession::Phase::Locked)
            finish();
    }

    int socket() const { return socket_; }
    bool ended() const { return ended_; }
    bool wantsRead() const { return !closing_ && reader_.room() > 0; }
    bool wantsWrite() const { return !outbox_.empty(); }

private:
    void pump();
    void step(const SessionTransport::Request& request);
    void runRequests();
    void finish();

    bool sendBytes(const Bytes& bytes) override;
    void purgeInput() override;
    bool pauseReading(Millis span) override;
    void closeAfter(Millis span) override;
    void forUser(const Action& action) override;
    void request(SessionTransport::Request request) override;
    Clock& clock() override { return clock_; }

    const int socket_;
    std::unique_ptr<FleetDevice> device_;
    ManualClock& clock_;
    UnitReader reader_;
    LinkState state_;
    ProgrammerSession session_;
    SessionHost host_;
    Bytes outbox_;
    std::deque<SessionTransport::Request> requests_;
    OneShot soon_;   // the queued requests
    OneShot resume_; // reading after a pause, or an incomplete unit's silence
    OneShot closeTimer_;
    bool paused_ = false;
    bool closing_ = false;
    bool stepping_ = false;
    bool lost_ = false; // the socket failed while sending
    bool ended_ = false;
};

} // namespace qta::link
