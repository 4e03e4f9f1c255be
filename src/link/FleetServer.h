#pragma once

#include "FleetConnection.h"
#include "GprsOptions.h"
#include "PeerFilter.h"

#include "session/ProgrammerSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace qta::link {

struct FleetSettings {
    GprsOptions gprs;
    SessionOptions session;
    char decimalSeparator = '.';
    // Connections served at once; a device beyond them is refused at once and may dial again.
    int maxSessions = 64;
    std::optional<PeerFilter> allowed; // none: every peer
    // After an interrupt: the longest the running transfers may take to finish,
    // and then again the longest the devices may take to end their connections.
    Millis closeWait{10000};
};

// What the server counts besides the devices' own results.
struct FleetCounts {
    int running = 0;
    int refusedFull = 0; // beyond the session limit
    int refusedPeer = 0; // from outside the allowed networks
    int accepted = 0;
};

// The GPRS server of a fleet: many devices at once, each connection a session
// of its own, all driven by one poll loop and one clock on one thread (the
// sessions are state machines, so a thread each would only add switching and
// stacks). Peers outside the allowed networks and devices beyond the limit are
// closed as soon as they connect.
class FleetServer {
public:
    // Makes the job of a connection from `peer` ("address:port").
    using DeviceFactory = std::function<std::unique_ptr<FleetDevice>(const std::string& peer)>;
    // A peer refused at once, and why.
    using Refused = std::function<void(const std::string& peer, const std::string& why)>;

    FleetServer(FleetSettings settings, DeviceFactory factory, Refused refused = {});
    ~FleetServer();
    FleetServer(const FleetServer&) = delete;
    FleetServer& operator=(const FleetServer&) = delete;

    // Opens the listening port; false with the socket layer's own text.
    bool listen(std::string& error);
    std::uint16_t port() const { return port_; }

    // Runs until it stops taking devices and every connection has ended.
    // `interruptFd` becoming readable (read from here) interrupts: the first time
    // as stop(), the second closes every connection at once.
    void run(int interruptFd);
    // No more devices; the running ones finish their jobs, and peers that have
    // not identified are closed.
    void stopTaking();
    // No more devices; the running ones finish their current transfer within the
    // close wait and end their connections; what is left after a second close wait is closed.
    void stop();

    ManualClock& clock() { return clock_; }
    FleetCounts counts() const;

private:
    void accept();
    void watchListener();
    void take(int socket, const sockaddr* peer, socklen_t length);
    void interrupted(int interruptFd);
    void closeAll();
    void watch(FleetConnection& connection);
    void sweep();
    void catchUp();
    int waitMillis() const;

    FleetSettings settings_;
    DeviceFactory factory_;
    Refused refused_;
    ManualClock clock_;
    TransportProfile profile_;
    int listener_ = -1;
    int epoll_ = -1;
    std::uint16_t port_ = 0;
    bool taking_ = true;
    bool stopping_ = false;
    OneShot lastBound_;
    OneShot acceptPause_;
    std::chrono::steady_clock::time_point origin_;
    std::unordered_map<int, std::unique_ptr<FleetConnection>> connections_;
    std::unordered_map<int, std::uint32_t> watched_; // the events asked of each socket
    FleetCounts counts_;
};

} // namespace qta::link
