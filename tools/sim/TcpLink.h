#pragma once

#include "ChunkShaper.h"
#include "DelayLine.h"
#include "PacedDevice.h"
#include "SimLog.h"

#include <poll.h>
#include <span>
#include <string>

namespace qta::sim {

// The device as its GPRS modem: a TCP client that dials in to the programmer's
// server, sends each unit as one chunk (unless split or joined on purpose) and
// dials again after a pause whenever the connection ends. It is driven by one
// poll loop, which may drive a whole fleet of them.
class TcpLink {
public:
    struct Options {
        std::string host;
        std::uint16_t port = 0;
        int baud = 9600;
        Micros reconnectPause = std::chrono::seconds(2);
        Micros hangUpLinger = std::chrono::seconds(3); // after its 0x04, for the server to close
        ChunkShaper::Options shaping;
        std::uint64_t seed = 1;
        Micros latency{0};   // one way, per chunk, as a GPRS link holds each exchange
        Micros firstDial{0}; // from the start of the run
    };

    TcpLink(VirtualDevice& device, Options options, const SimLog& log);
    ~TcpLink();
    TcpLink(const TcpLink&) = delete;
    TcpLink& operator=(const TcpLink&) = delete;

    // Runs until `stopFd` becomes readable.
    void run(int stopFd);

    // One turn of a poll loop: begin() once, then service() with the time, poll
    // on pollEntry() until nextDue(), and handle() what the poll found.
    void begin(Micros now) { connectAt_ = now + options_.firstDial; }
    void service(Micros now);
    pollfd pollEntry() const;
    void handle(short revents, Micros now);
    Micros nextDue() const;

private:
    enum class State { Waiting, Connecting, Connected };

    void startConnect(Micros now);
    void finishConnect(Micros now);
    void connected(Micros now);
    void disconnect(Micros now, const std::string& why, bool abort = false);
    void readFromServer(Micros now);
    void sendDue(Micros now);
    void flushOutbox();
    void deliverFromServer(Micros now);

    VirtualDevice& device_;
    Options options_;
    PacedDevice paced_;
    ChunkShaper shaper_;
    DelayLine toServer_;
    DelayLine fromServer_;
    const SimLog& log_;
    State state_ = State::Waiting;
    int socket_ = -1;
    Micros connectAt_{0};
    Bytes outbox_; // a chunk the socket did not take whole yet
    bool hungUp_ = false;
    Micros hangUpDeadline_ = kNever;
    bool vanished_ = false;
};

// Runs every link in one poll loop until `stopFd` becomes readable.
void runTcpLinks(std::span<TcpLink* const> links, int stopFd);

} // namespace qta::sim
