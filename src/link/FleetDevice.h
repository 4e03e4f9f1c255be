#pragma once

#include "SessionTransport.h"

#include "model/Configuration.h"
#include "session/LinkView.h"

namespace qta::link {

class Clock;

// What the job run on one connection of a fleet may ask of it.
class FleetControl {
public:
    virtual ~FleetControl() = default;
    // Runs `request` on the connection's session from the loop, after what is
    // being carried out now, so that no request runs inside another.
    virtual void request(SessionTransport::Request request) = 0;
    virtual Clock& clock() = 0;
};

// The job on one connection of a fleet: the connection's view, which answers the
// code prompt and requests the transfers one after the other. A fleet has no
// window: what only a window would show is left alone unless a job wants it.
class FleetDevice : public LinkView {
public:
    void showLinkUp(bool) override {}
    void showConnected(bool) override {}
    void lockTransportChoice(bool) override {}
    void showTransport(Transport) override {}
    void showCodeRefused(Transport) override {}
    void showCodeAccepted() override {}
    void showTransferWaiting(TransferKind, int) override {}
    void showTransferRunning(int) override {}
    void setProgress(int) override {}
    void hideDialog() override {}
    void ShowDiag(std::span<const std::uint8_t, 21>, bool) override {}
    void blankDiagnostics() override {}

    // The Configuration a read fills.
    virtual Configuration& readTarget() = 0;
    // The connection is up.
    virtual void started(FleetControl& control) = 0;
    // The server is stopping: the transfer that runs may finish, then the device
    // is asked to end the connection.
    virtual void interrupted() = 0;
    // The connection has closed: the job's last word.
    virtual void ended() = 0;
};

} // namespace qta::link
