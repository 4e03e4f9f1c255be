#include "TcpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace qta::link::test {

TcpPeer::TcpPeer(std::uint16_t port) : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    if (socket_ < 0)
        return;
    const int one = 1;
    setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // each piece goes out on its own
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

TcpPeer::~TcpPeer() {
    if (socket_ >= 0)
        ::close(socket_);
}

void TcpPeer::send(const Bytes& bytes, std::size_t piece) {
    if (piece == 0 || bytes.size() <= piece) {
        sendNow(bytes);
        return;
    }
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        pieces_.emplace_back(bytes.begin() + static_cast<long>(at),
                             bytes.begin() + static_cast<long>(std::min(at + piece, bytes.size())));
    sendNextPiece();
}

void TcpPeer::sendNextPiece() {
    if (pieces_.empty())
        return;
    const Bytes piece = std::move(pieces_.front());
    pieces_.pop_front();
    sendNow(piece);
}

void TcpPeer::sendNow(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && !closed_) {
        const ssize_t written = ::send(socket_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            closed_ = true;
            return;
        }
        done += static_cast<std::size_t>(written);
    }
    sent_ += done;
}

void TcpPeer::pull() {
    if (socket_ < 0 || closed_)
        return;
    std::array<std::uint8_t, 4096> block;
    Bytes fresh;
    for (;;) {
        const ssize_t got = ::recv(socket_, block.data(), block.size(), MSG_DONTWAIT);
        if (got > 0) {
            fresh.insert(fresh.end(), block.begin(), block.begin() + got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            closed_ = true;
        break;
    }
    if (fresh.empty())
        return;
    received_.insert(received_.end(), fresh.begin(), fresh.end());
    if (onReceive)
        onReceive(fresh);
}

void TcpPeer::drop() {
    pieces_.clear();
    ::close(socket_);
    socket_ = -1;
    closed_ = true;
}

} // namespace qta::link::test
