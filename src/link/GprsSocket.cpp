#include "GprsSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace qta::link {
namespace {

constexpr std::size_t kReadBlock = 4096;

void setOption(int socket, int level, int name, int value) {
    // A refused option leaves the connection usable without it.
    [[maybe_unused]] const int result = setsockopt(socket, level, name, &value, sizeof value);
}

int pollTimeout(std::optional<Millis> limit) {
    if (!limit)
        return -1;
    return static_cast<int>(std::clamp<Millis::rep>(limit->count(), 1, 60 * 60 * 1000));
}

} // namespace

// Non-blocking, answers without delay (the exchange is single bytes each way),
// and keep-alive probes so that a device that vanished without closing is noticed.
GprsSocket::GprsSocket(int socket, const GprsOptions& options) : socket_(socket) {
    const int flags = fcntl(socket_, F_GETFL, 0);
    if (flags >= 0)
        fcntl(socket_, F_SETFL, flags | O_NONBLOCK);
    setOption(socket_, IPPROTO_TCP, TCP_NODELAY, 1);
    setOption(socket_, SOL_SOCKET, SO_KEEPALIVE, 1);
    setOption(socket_, IPPROTO_TCP, TCP_KEEPIDLE, static_cast<int>(options.keepAliveIdle.count()));
    setOption(socket_, IPPROTO_TCP, TCP_KEEPINTVL, static_cast<int>(options.keepAliveInterval.count()));
    setOption(socket_, IPPROTO_TCP, TCP_KEEPCNT, options.keepAliveProbes);
}

GprsSocket::~GprsSocket() {
    ::close(socket_);
}

void GprsSocket::shutdown() {
    ::shutdown(socket_, SHUT_RDWR);
}

GprsSocket::Ready GprsSocket::await(int doorbell, bool reading, std::optional<Millis> limit) {
    std::array<pollfd, 2> watched{
        pollfd{socket_, static_cast<short>(reading ? POLLIN | POLLRDHUP : POLLRDHUP), 0},
        pollfd{doorbell, POLLIN, 0}};
    const int ready = ::poll(watched.data(), watched.size(), pollTimeout(limit));
    if (ready < 0)
        return errno == EINTR ? Ready::Rung : Ready::Closed;
    const short events = watched[0].revents;
    if (events & POLLNVAL)
        return Ready::Closed;
    if (events & POLLIN)
        return Ready::Readable;
    if (events & (POLLRDHUP | POLLHUP | POLLERR))
        return reading ? Ready::Readable : Ready::Closed; // the read finds the end
    return ready == 0 ? Ready::TimedOut : Ready::Rung;
}

std::optional<Bytes> GprsSocket::receive(std::size_t room) {
    std::array<std::uint8_t, kReadBlock> block;
    const std::size_t wanted = std::min(block.size(), room);
    if (wanted == 0)
        return Bytes{};
    const ssize_t got = ::recv(socket_, block.data(), wanted, MSG_DONTWAIT);
    if (got == 0)
        return std::nullopt; // the device closed the connection
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return Bytes{};
        return std::nullopt;
    }
    return Bytes(block.begin(), block.begin() + got);
}

bool GprsSocket::send(std::span<const std::uint8_t> bytes, int doorbell, const std::function<bool()>& stop) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t written =
            ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (stop() || !awaitWritable(doorbell))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool GprsSocket::awaitWritable(int doorbell) {
    std::array<pollfd, 2> watched{pollfd{socket_, POLLOUT, 0}, pollfd{doorbell, POLLIN, 0}};
    if (::poll(watched.data(), watched.size(), -1) < 0)
        return errno == EINTR;
    return (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

std::size_t GprsSocket::drain(std::size_t limit) {
    std::array<std::uint8_t, kReadBlock> block;
    std::size_t drained = 0;
    while (drained < limit) {
        const ssize_t got = ::recv(socket_, block.data(), block.size(), MSG_DONTWAIT);
        if (got <= 0)
            break;
        drained += static_cast<std::size_t>(got);
    }
    return drained;
}

} // namespace qta::link
