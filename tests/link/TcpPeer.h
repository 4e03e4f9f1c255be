#pragma once

#include "link/Bridge.h"

#include <cstdint>
#include <deque>
#include <functional>

namespace qta::link::test {

// A device's end of a loopback TCP connection, driven from the test's thread:
// nothing is read until pull() is called, and what is sent in pieces goes out one
// piece at a time, each when the test says (once the programmer has read the last).
class TcpPeer {
public:
    explicit TcpPeer(std::uint16_t port);
    ~TcpPeer();
    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    bool connected() const { return socket_ >= 0 && connected_; }
    // Sends `bytes` at once, or in pieces of `piece` bytes: the first now, the others by sendNextPiece().
    void send(const Bytes& bytes, std::size_t piece = 0);
    bool hasPieces() const { return !pieces_.empty(); }
    void sendNextPiece();
    // Reads everything that has arrived, without waiting; `onReceive` sees each new batch.
    void pull();
    // The device drops the connection.
    void drop();

    bool closed() const { return closed_; }
    const Bytes& received() const { return received_; }
    std::uint64_t sent() const { return sent_; }

    std::function<void(const Bytes&)> onReceive;

private:
    void sendNow(const Bytes& bytes);

    int socket_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    Bytes received_;
    std::uint64_t sent_ = 0;
    std::deque<Bytes> pieces_;
};

} // namespace qta::link::test
