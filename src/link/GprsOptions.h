#pragma once

#include "Clock.h"
#include "PeerFilter.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qta::link {

// Who can reach the GPRS server. The device cannot be told from an impostor (whoever
// says "QTA71P" is sent the access code), so the user narrows where it listens and
// whom it keeps.
struct GprsAccess {
    std::string listenAddress; // one numeric IPv4 or IPv6 address; empty: every local address
    PeerFilter peers;          // a peer outside is closed as it is accepted, before a byte is read
    bool openToAll() const { return listenAddress.empty() && peers.allowsAll(); }
};

// The GPRS server's settings and the times of its protocol. The times the
// connection thread waits are real time; the bounds kept by the user-interface
// side run on the link's Clock. Tests shorten the real ones to milliseconds.
struct GprsOptions {
    // 0 takes any free port (tests); the bound port is then read from the link.
    std::uint16_t listenPort = 48006;
    GprsAccess access;

    // Connection thread (real time).
    Millis closeDelay{2500};        // after the device's 0x04, before the connection is closed
    Millis transferEndPause{100};   // after the last unit of a transfer
    Millis partialUnitDrop{2000};   // silence after which an incomplete unit is dropped
    std::size_t bufferLimit = 4096; // bytes kept from the network before they are cut into units

    // User-interface side (the link's Clock).
    Millis unlockLimit{60000}; // a connection not unlocked this long after it began is closed
    Millis closeWait{10000};   // closing the window: the longest wait for the device's 0x04

    // TCP keep-alive, so a device that vanished without closing frees the connection.
    std::chrono::seconds keepAliveIdle{30};
    std::chrono::seconds keepAliveInterval{10};
    int keepAliveProbes = 3;
};

} // namespace qta::link
